// The brick balls: recorded once, where each brick lies, the colour order, the state they leave.
#include <GL/gl.h>
#include <math.h>

#include <vector>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "test_lego_feedback.h"

namespace {

struct found_brick {
    vec3 centre;
    int width;
    vec3 colour;  // the most saturated lit colour seen on its front or back face
};

float dist(const vec3 &a, const vec3 &b)
{
    return sqrtf((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

float spread(const vec3 &c)
{
    return fmaxf(c.x, fmaxf(c.y, c.z)) - fminf(c.x, fminf(c.y, c.z));
}

// Finds bricks by the front and back faces of their bodies (width x 1.2, split into
// right triangles): the body's centre lies one unit behind such a face.
std::vector<found_brick> bricks_in(const std::vector<polygon> &polys)
{
    std::vector<found_brick> out;
    for (const polygon &p : polys) {
        if (p.v.size() != 3)
            continue;
        for (int r = 0; r < 3; r++) {
            const vec3 &o = p.v[r], &a = p.v[(r + 1) % 3], &b = p.v[(r + 2) % 3];
            vec3 u = {a.x - o.x, a.y - o.y, a.z - o.z}, w = {b.x - o.x, b.y - o.y, b.z - o.z};
            float lu = dist(a, o), lw = dist(b, o);
            if (fabsf(u.x * w.x + u.y * w.y + u.z * w.z) > 1e-3f * lu * lw)
                continue;
            float shorter = fminf(lu, lw), longer = fmaxf(lu, lw);
            int width = 0;
            if (fabsf(shorter - 1.0f) < 2e-3f && fabsf(longer - 1.2f) < 2e-3f)
                width = 1;
            if (fabsf(shorter - 1.2f) < 2e-3f && fabsf(longer - 3.0f) < 2e-3f)
                width = 3;
            if (!width)
                continue;
            vec3 c = {(a.x + b.x) / 2 - p.normal.x, (a.y + b.y) / 2 - p.normal.y,
                      (a.z + b.z) / 2 - p.normal.z};
            vec3 colour = {0, 0, 0};
            for (const vec3 &k : p.rgb)
                if (spread(k) >= spread(colour))
                    colour = k;
            bool known = false;
            for (found_brick &f : out)
                if (dist(f.centre, c) < 1e-2f) {
                    known = true;
                    if (spread(colour) > spread(f.colour))
                        f.colour = colour;
                }
            if (!known)
                out.push_back({c, width, colour});
        }
    }
    return out;
}

const double pi = 3.14159265358979323846;

// The cosines between each stud cap's facing and the direction out of the sphere
// at the cap: the caps are the triangles with two edges of the stud radius 0.3 at
// one corner.
std::vector<float> stud_facings(const std::vector<polygon> &polys, const vec3 &sphere_centre)
{
    std::vector<float> out;
    for (const polygon &p : polys) {
        if (p.v.size() != 3)
            continue;
        bool cap = false;
        for (int r = 0; r < 3; r++)
            cap |= fabsf(dist(p.v[r], p.v[(r + 1) % 3]) - 0.3f) < 1e-3f &&
                   fabsf(dist(p.v[r], p.v[(r + 2) % 3]) - 0.3f) < 1e-3f;
        if (!cap)
            continue;
        vec3 d = {p.centroid.x - sphere_centre.x, p.centroid.y - sphere_centre.y,
                  p.centroid.z - sphere_centre.z};
        float len = sqrtf(d.x * d.x + d.y * d.y + d.z * d.z);
        out.push_back((d.x * p.normal.x + d.y * p.normal.y + d.z * p.normal.z) / len);
    }
    return out;
}

// Brick i's place on its circle of latitude, by the placement rules.
vec3 on_latitude(int i, double y)
{
    double s = i <= 49 ? sqrt((double)i) : pi / 2 - sqrt(100.0 - i);
    double a = 4 * s, rho = sqrt(fabs(2500.0 - (i - 50) * (i - 50))) / 6;
    return {(float)(rho * sin(a)), (float)y, (float)(rho * cos(a))};
}

const found_brick *brick_at(const std::vector<found_brick> &bricks, const vec3 &c)
{
    for (const found_brick &b : bricks)
        if (dist(b.centre, c) < 1e-2f)
            return &b;
    return nullptr;
}

// The display lists ball_init makes: the names after the last one made before it.
GLuint init_balls(void)
{
    need_gl_context(256, 192);
    GLuint before = glGenLists(1);
    glEnable(GL_CULL_FACE);  // as left by the set-up before it in the show
    ball_init();
    return before + 1;
}

}  // namespace

TEST(Ball, ListsRecordedOnceAndInwardBallAroundTheEye)
{
    GLuint lists = init_balls();
    EXPECT_TRUE(glIsList(lists));
    EXPECT_TRUE(glIsList(lists + 1));

    // ball1 at t = 0, seen through its own culling: every brick shows a front or a
    // back face. The tumbling point is 7.8 in front of the origin, the sphere's
    // centre 8 - 50/6 below it.
    auto polys = capture_polygons([] { ball1(0); }, 20);
    std::vector<found_brick> bricks = bricks_in(polys);
    EXPECT_EQ(bricks.size(), 99u);
    for (int i = 1; i <= 99; i++) {
        vec3 want = on_latitude(i, 8 - i / 6.0);
        want.z -= 7.8f;
        const found_brick *b = brick_at(bricks, want);
        ASSERT_NE(b, nullptr) << "brick " << i;
        EXPECT_EQ(b->width, i % 2 ? 3 : 1) << "brick " << i << ": odd red 3 x 2, even yellow 1 x 2";
        EXPECT_NEAR(dist(want, {0, 8 - 50 / 6.0f, -7.8f}), 50 / 6.0, 1e-3) << "on the sphere";
    }
    // Brick 1 is the topmost, a 3 x 2 brick 8 - 1/6 above the tumbling point.
    const found_brick *top = &bricks[0];
    for (const found_brick &b : bricks)
        if (b.centre.y > top->centre.y)
            top = &b;
    EXPECT_NEAR(top->centre.y, 8 - 1 / 6.0, 1e-3);
    EXPECT_EQ(top->width, 3);
    // Every stud faces the sphere's centre, within about 30 degrees.
    std::vector<float> facing = stud_facings(polys, {0, 8 - 50 / 6.0f, -7.8f});
    EXPECT_GT(facing.size(), 500u);
    for (float f : facing)
        ASSERT_LT(f, -0.85f);
    // The lower half mirrors the upper: brick 100 - i at longitude 2 pi - a(i),
    // at the mirrored height.
    for (int i = 1; i <= 49; i++) {
        vec3 u = on_latitude(i, 8 - i / 6.0);
        vec3 mirrored = {-u.x, 2 * (8 - 50 / 6.0f) - u.y, u.z - 7.8f};
        EXPECT_NE(brick_at(bricks, mirrored), nullptr) << "brick " << 100 - i;
    }

    // Drawing records nothing more: the next free name follows the two lists.
    ball1(1);
    ball2(1, 1);
    GLuint next = glGenLists(1);
    EXPECT_EQ(next, lists + 2);
}

TEST(Ball, OutwardBallColourOrderAndSpin)
{
    GLuint lists = init_balls();

    // Replayed under a light from the eye, every face's colour is its brick's diffuse colour
    // scaled by how squarely it faces the eye.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat from_eye[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, none[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, from_eye);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    lego_init();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    auto polys = capture_polygons([&] { glCallList(lists + 1); }, 14, true, true);
    glDisable(GL_LIGHTING);
    std::vector<found_brick> bricks = bricks_in(polys);
    EXPECT_EQ(bricks.size(), 50u);
    std::vector<float> facing = stud_facings(polys, {0, 0, 0});
    EXPECT_EQ(facing.size(), 50u * 6 * 5);  // 6 studs of 5 segments per brick
    for (float f : facing)
        ASSERT_GT(f, 0.85f) << "studs face outwards";
    // i = 1, 3, 5, ...: white, red, blue, white, red, blue, ...
    const char *names[3] = {"red", "white", "blue"};
    for (int i = 1; i <= 99; i += 2) {
        const found_brick *b = brick_at(bricks, on_latitude(i, (50 - i) / 6.0));
        ASSERT_NE(b, nullptr) << "brick " << i;
        EXPECT_EQ(b->width, 3);
        const vec3 &c = b->colour;
        int got = spread(c) < 0.02f ? 1 : (c.z > c.x ? 2 : 0);
        EXPECT_STREQ(names[got], names[i % 3]) << "brick " << i << " colour " << c.x << ","
                                               << c.y << "," << c.z;
    }

    // Without spin the picture is the same at every time; with spin it turns.
    auto raw = [](float t, int spin) {
        return feedback_detail::one_pass([&] { ball2(t, spin); }, 14, GL_BACK, true);
    };
    auto still0 = raw(0, 0), still5 = raw(5, 0), spun = raw(0.5f, 1);
    ASSERT_EQ(still0.size(), still5.size());
    for (size_t k = 0; k < still0.size(); k++)
        ASSERT_TRUE(feedback_detail::same(still0[k], still5[k])) << "polygon " << k;
    EXPECT_FALSE(still0.size() == spun.size() && feedback_detail::same(still0[0], spun[0]));
    auto centred = bricks_in(capture_polygons([] { ball2(3, 0); }, 14));
    EXPECT_EQ(centred.size(), 50u);
    EXPECT_NE(brick_at(centred, on_latitude(1, 49 / 6.0)), nullptr) << "centred on the origin";
}

TEST(Ball, StateAndLightLeftBehind)
{
    init_balls();
    const struct {
        const char *what;
        void (*draw)(void);
        GLfloat light_at[4];  // light 0's position in eye coordinates
    } cases[] = {
        {"ball1", [] { ball1(1.5f); }, {1, 2, 3, 1}},         // at the caller's origin
        {"ball2", [] { ball2(1.5f, 1); }, {2, 12, 43, 1}},    // at (1, 10, 40) of the caller
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        GLfloat before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        glDisable(GL_LIGHTING);
        glShadeModel(GL_FLAT);
        glCullFace(GL_FRONT);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHT0);
        glEnable(GL_LIGHT1);
        glEnable(GL_LIGHT2);
        glEnable(GL_LIGHT3);
        glDisable(GL_DEPTH_TEST);
        c.draw();
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(before[i], after[i]);
        GLint shade, cull_mode;
        glGetIntegerv(GL_SHADE_MODEL, &shade);
        glGetIntegerv(GL_CULL_FACE_MODE, &cull_mode);
        EXPECT_EQ(shade, GL_SMOOTH);
        EXPECT_EQ(cull_mode, GL_BACK);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
        EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
        EXPECT_TRUE(glIsEnabled(GL_LIGHT3)) << "light 3 is not the balls' business";
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

        GLfloat v[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, v);
        for (int i = 0; i < 4; i++)
            EXPECT_FLOAT_EQ(v[i], c.light_at[i]);
        const struct {
            GLenum what;
            GLfloat want[4];
        } light[] = {{GL_DIFFUSE, {1, 1, 1, 1}},
                     {GL_AMBIENT, {0.2f, 0.2f, 0.2f, 1}},
                     {GL_SPECULAR, {1, 1, 1, 1}},
                     {GL_LINEAR_ATTENUATION, {0}},
                     {GL_QUADRATIC_ATTENUATION, {0}}};
        for (const auto &l : light) {
            glGetLightfv(GL_LIGHT0, l.what, v);
            int n = l.what == GL_DIFFUSE || l.what == GL_AMBIENT || l.what == GL_SPECULAR ? 4 : 1;
            for (int i = 0; i < n; i++)
                EXPECT_FLOAT_EQ(v[i], l.want[i]) << "light parameter 0x" << std::hex << l.what;
        }
    }
}
