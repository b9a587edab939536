// The brick spirals: where each brick lies, the two recorded spirals, their turning, light and state.
#include <GL/gl.h>
#include <math.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "effects/effects.h"
#include "feedback.h"
#include "gl_context.h"
#include "shell/entry.h"

namespace {

// Returns the first of the spiral's two lists; display-list names are handed out in
// increasing order, so they follow the probe.
int record_spirals(void)
{
    need_gl_context(400, 300);
    int probe = (int)glGenLists(1);
    spiral_init();
    EXPECT_TRUE(glIsList(probe + 1));
    EXPECT_TRUE(glIsList(probe + 2));
    return probe + 1;
}

// An orthographic view 60 units across on a 1200-pixel viewport, looking down the
// spiral's axis: eye x and y are 20 pixels a unit, eye z comes back as window depth.
const float half = 30, depth = 100, pixels = 1200;

void view_down_the_axis(void)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -depth, depth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, (int)pixels, (int)pixels);
    glRotatef(90, 1, 0, 0);  // the spiral's plane faces the viewer, studs towards it
}

struct point {
    double x, y, z;  // eye coordinates
};

struct top_face {
    double cx, cy;     // centre, in the spiral's plane seen from above
    double long_side;  // length of the longer edge
    double heading;    // direction of the longer edge, degrees in [0, 180)
};

point eye_of(const float *v)
{
    return {v[0] / pixels * 2 * half - half, v[1] / pixels * 2 * half - half,
            -(2 * v[2] - 1) * depth};
}

// The top face of a brick is the only polygon whose corners all lie at the top of the
// body (0.6 above the spiral's plane; stud caps lie higher). Consecutive such polygons
// belong to one brick.
std::vector<top_face> top_faces(const std::vector<float> &fb)
{
    std::vector<top_face> faces;
    std::vector<point> corners;
    bool in_face = false;
    auto close_face = [&] {
        if (corners.empty())
            return;
        // The corners of a rectangle: the two farthest apart span a diagonal.
        double cx = 0, cy = 0;
        std::vector<point> distinct;
        for (const point &p : corners) {
            bool seen = false;
            for (const point &q : distinct)
                seen |= fabs(p.x - q.x) < 1e-3 && fabs(p.y - q.y) < 1e-3;
            if (!seen)
                distinct.push_back(p);
        }
        for (const point &p : distinct) {
            cx += p.x / distinct.size();
            cy += p.y / distinct.size();
        }
        // Of the six corner pairs the two longest are diagonals; the next is a long side.
        struct pair_len {
            double len, heading;
        };
        std::vector<pair_len> pairs;
        for (size_t i = 0; i < distinct.size(); i++)
            for (size_t j = i + 1; j < distinct.size(); j++) {
                double dx = distinct[j].x - distinct[i].x, dy = distinct[j].y - distinct[i].y;
                pairs.push_back({hypot(dx, dy), fmod(atan2(dy, dx) * 180 / M_PI + 360, 180)});
            }
        EXPECT_EQ(pairs.size(), 6u) << "a rectangle has four corners";
        std::sort(pairs.begin(), pairs.end(),
                  [](const pair_len &a, const pair_len &b) { return a.len > b.len; });
        double longest = pairs.size() > 2 ? pairs[2].len : 0;
        double heading = pairs.size() > 2 ? pairs[2].heading : 0;
        faces.push_back({cx, cy, longest, heading});
        corners.clear();
    };
    for (size_t i = 0; i < fb.size();) {
        if (fb[i] != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected token " << fb[i];
            break;
        }
        int n = (int)fb[i + 1];
        std::vector<point> poly;
        for (int k = 0; k < n; k++)
            poly.push_back(eye_of(&fb[i + 2 + 3 * k]));
        i += 2 + 3 * n;
        bool top = std::all_of(poly.begin(), poly.end(),
                               [](const point &p) { return fabs(p.z - 0.6) < 1e-3; });
        if (top)
            corners.insert(corners.end(), poly.begin(), poly.end());
        else if (in_face)
            close_face();
        in_face = top;
    }
    close_face();
    return faces;
}

double angle_gap(double a, double b)  // degrees, modulo half a turn
{
    double d = fmod(fabs(a - b), 180);
    return std::min(d, 180 - d);
}

}  // namespace

TEST(Spiral, BricksFollowAnArchimedeanSpiralAlternatingInLength)
{
    int lists = record_spirals();
    view_down_the_axis();
    auto white = top_faces(feedback_stream([&] { glCallList(lists); }));
    auto red = top_faces(feedback_stream([&] { glCallList(lists + 1); }));
    ASSERT_EQ(white.size(), 55u);
    ASSERT_EQ(red.size(), 75u);

    // Brick 0 lies 1.89 from the centre at 2.18 radians, measured from the spiral's +z
    // (the viewer's -y) towards +x.
    EXPECT_NEAR(hypot(white[0].cx, white[0].cy), 1.8856, 1e-3);
    EXPECT_NEAR(atan2(white[0].cx, -white[0].cy), 2.1759, 1e-3);

    for (int i = 0; i < 75; i++) {
        double rho = 4 * sqrt(i + 0.5);
        double a = rho * 10 / 13;
        const top_face &b = red[i];
        SCOPED_TRACE(testing::Message() << "brick " << i);
        EXPECT_NEAR(b.cx, sin(a) * rho * 2 / 3, 2e-3);
        EXPECT_NEAR(-b.cy, cos(a) * rho * 2 / 3, 2e-3);
        EXPECT_NEAR(b.long_side, i % 2 ? 2 : 3, 2e-3);
        if (i % 2 == 0) {  // a 3 x 2 brick runs along the curve, turned back by 5 degrees
            EXPECT_LT(angle_gap(b.heading, 57.3 * a - 5), 0.05);
        }
        if (i < 55) {
            EXPECT_NEAR(white[i].cx, b.cx, 1e-4);
            EXPECT_NEAR(white[i].cy, b.cy, 1e-4);
            EXPECT_NEAR(white[i].long_side, b.long_side, 1e-4);
        }
    }
    // The outermost bricks: the white spiral ends about 19.7 from the centre, the red 23.
    EXPECT_NEAR(hypot(white[54].cx, white[54].cy), 19.7, 0.05);
    EXPECT_NEAR(hypot(red[74].cx, red[74].cy), 23.0, 0.1);
}

TEST(Spiral, WhiteAndRedBricks)
{
    int lists = record_spirals();
    struct {
        int list;
        std::vector<float> diffuse;
    } cases[] = {{lists, {1, 1, 1, 1}}, {lists + 1, {1, 0.1f, 0, 1}}};
    for (const auto &c : cases) {
        glCallList(c.list);
        float v[4];
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
        EXPECT_EQ(std::vector<float>(v, v + 4), c.diffuse) << "list " << c.list - lists;
    }
}

TEST(Spiral, TurnsTheTwoSpiralsAtTheirOwnRates)
{
    int lists = record_spirals();
    set_frame_projection();
    glViewport(0, 0, 400, 300);

    // The white spiral's turn about its axis and rocking, the red one's own turn.
    struct {
        float t, turn, rock, red_turn;
    } cases[] = {
        {0, 0, 0, 0},
        {0.5f, -45, 8.41471f, 10},
        {-1.25f, 112.5f, -5.98472f, -25},
    };
    for (const auto &c : cases) {
        auto drawn = feedback_stream([&] { spiral(c.t); });
        auto expected = feedback_stream([&] {
            glPushMatrix();
            glTranslatef(0, 0, -13);
            glRotatef(90, 1, 0, 0);
            glRotatef(c.turn, 0, 1, 0);
            glRotatef(c.rock, 0, 0, 1);
            glCallList(lists);
            glRotatef(c.red_turn, 0, 1, 0.1f);
            glRotatef(-10, 0, 0, 1);
            glTranslatef(0, -4, 0);
            glCallList(lists + 1);
            glPopMatrix();
        });
        ASSERT_EQ(drawn.size(), expected.size()) << "t " << c.t;
        int wrong = 0;
        for (size_t i = 0; i < drawn.size() && wrong < 5; i++)
            if (!(fabs(drawn[i] - expected[i]) <= 0.02f)) {
                ADD_FAILURE() << "t " << c.t << ": value " << i << " is " << drawn[i]
                              << ", expected " << expected[i];
                wrong++;
            }
    }
}

TEST(Spiral, SetUpSwitchesTheBrickStateOnForGood)
{
    need_gl_context(400, 300);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glCullFace(GL_FRONT);
    glShadeModel(GL_FLAT);
    spiral_init();
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_CULL_FACE, GL_DEPTH_TEST})
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    GLint mode;
    glGetIntegerv(GL_CULL_FACE_MODE, &mode);
    EXPECT_EQ(mode, GL_BACK);
    glGetIntegerv(GL_SHADE_MODEL, &mode);
    EXPECT_EQ(mode, GL_SMOOTH);
}

TEST(Spiral, LightsFromBehindTheCallerAndKeepsTheAttenuation)
{
    record_spirals();
    set_frame_projection();
    glEnable(GL_LIGHT2);
    glDisable(GL_DEPTH_TEST);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.25f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.125f);
    glTranslatef(-1, 0, 4);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    spiral(1.5f);

    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after)) << "modelview restored";
    float v[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{-1, 0, 6, 1}));
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{0, 0, 0, 1}));
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 1, 1, 1}));
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, v);
    EXPECT_EQ(v[0], 0.25f);
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, v);
    EXPECT_EQ(v[0], 0.125f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}
