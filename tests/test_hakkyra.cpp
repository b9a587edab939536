// The contraption: its three recorded box frames, its tumble and rocking, its light and state.
#include <GL/gl.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "feedback.h"
#include "gl_context.h"
#include "shell/entry.h"

namespace {

// What the drawing emits in feedback mode: window x, y, z and the lit colour per vertex.
std::vector<float> feedback_of(const std::function<void()> &draw, GLenum type = GL_3D_COLOR)
{
    return feedback_stream(draw, type);
}

void expect_same_stream(const std::vector<float> &got, const std::vector<float> &want,
                        float tolerance, const char *what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    ASSERT_GT(got.size(), 0u) << what;
    int wrong = 0;
    for (size_t i = 0; i < got.size() && wrong < 5; i++)
        if (!(std::abs(got[i] - want[i]) <= tolerance)) {
            ADD_FAILURE() << what << ": value " << i << " is " << got[i] << ", expected "
                          << want[i];
            wrong++;
        }
}

// A fixed light and projection so that feedback colours and positions are comparable.
void neutral_view(void)
{
    set_frame_projection();
    glViewport(0, 0, 400, 300);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    static const float position[] = {0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

// Sets up the contraption as the show does, before anything has switched culling on,
// and returns the first of its three lists. Display-list names are handed out in
// increasing order, so the contraption's follow the probe.
int record_contraption(void)
{
    need_gl_context(400, 300);
    glDisable(GL_CULL_FACE);
    int probe = (int)glGenLists(1);
    hakkyra_init();
    for (int m = 1; m <= 3; m++)
        EXPECT_TRUE(glIsList(probe + m)) << "frame list " << m - 1;
    return probe + 1;
}

// Frame 1 as cells, layer by layer from the front, rows from the top: the twelve edges
// of a 4 x 6 x 4 box in a red (2) and white (3) checker.
const signed char frame1[4 * 6 * 4] = {
    2, 3, 2, 3,  3, 0, 0, 2,  2, 0, 0, 3,  3, 0, 0, 2,  2, 0, 0, 3,  3, 2, 3, 2,
    3, 0, 0, 2,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  2, 0, 0, 3,
    2, 0, 0, 3,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  3, 0, 0, 2,
    3, 2, 3, 2,  2, 0, 0, 3,  3, 0, 0, 2,  2, 0, 0, 3,  3, 0, 0, 2,  2, 3, 2, 3,
};

// A cell of a box lies on one of its edges when two of its three coordinates are at
// their extremes.
std::vector<signed char> box_edges(int s, int h)
{
    std::vector<signed char> cells(s * h * s);
    for (int k = 0; k < s; k++)
        for (int j = 0; j < h; j++)
            for (int i = 0; i < s; i++) {
                int extremes = (i == 0 || i == s - 1) + (j == 0 || j == h - 1) +
                               (k == 0 || k == s - 1);
                cells[i + s * (j + h * k)] = extremes >= 2 ? ((i + j + k) % 2 ? 3 : 2) : 0;
            }
    return cells;
}

}  // namespace

TEST(Contraption, FramesAreCheckeredBoxEdgesCentredOnOneBrick)
{
    int lists = record_contraption();
    neutral_view();
    glTranslatef(0, 0, -30);
    glRotatef(25, 1, 1, 0);  // every side of the boxes in view

    const signed char single_red = 2;
    std::vector<signed char> frame2 = box_edges(7, 11);
    ASSERT_EQ(std::count_if(frame2.begin(), frame2.end(), [](signed char c) { return c; }), 84);

    struct {
        const char *what;
        const signed char *cells;
        int s, h;
    } frames[] = {
        {"frame 0, one red 2 x 2 brick", &single_red, 1, 1},
        {"frame 1, 4 x 6 x 4", frame1, 4, 6},
        {"frame 2, 7 x 11 x 7", frame2.data(), 7, 11},
    };
    for (int m = 0; m < 3; m++) {
        auto recorded = feedback_of([&] {
            glDisable(GL_CULL_FACE);
            glCallList(lists + m);
        });
        auto expected = feedback_of([&] {
            glDisable(GL_CULL_FACE);
            draw_volume(1, 8, frames[m].cells, frames[m].s, frames[m].h, frames[m].s);
        });
        expect_same_stream(recorded, expected, 0, frames[m].what);
    }
}

TEST(Contraption, ListsWereRecordedWithCullingOff)
{
    // A brick recorded with culling off never switches it back on after its underside,
    // so replaying any frame, whose last brick shows its underside, leaves culling off.
    int lists = record_contraption();
    for (int m = 0; m < 3; m++) {
        glEnable(GL_CULL_FACE);
        glCallList(lists + m);
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "frame " << m;
    }
}

TEST(Contraption, TumblesAndRocksEachFrameOnItsOwnPhase)
{
    int lists = record_contraption();
    neutral_view();

    // The tumble about x and, per frame, the rocking about z and y, in degrees.
    struct {
        float t, tumble;
        float rock[3][2];
    } cases[] = {
        {0, 0, {{0, 0}, {-33.65884f, -12.62206f}, {-36.3719f, -13.63946f}}},
        {0.5f, 15, {{39.8998f, 7.84031f}, {19.17702f, -6.52448f}, {-19.17702f, -14.89069f}}},
        {-1.25f, -37.5f, {{22.86245f, -14.7134f}, {39.97171f, -10.40528f}, {20.33116f, 3.46941f}}},
    };
    for (const auto &c : cases) {
        // Positions only: the contraption brings its own light.
        auto drawn = feedback_of([&] { hakkyra(c.t); }, GL_3D);
        auto expected = feedback_of(
            [&] {
                glEnable(GL_CULL_FACE);
                glPushMatrix();
                glTranslatef(0, 0, -14);
                glRotatef(c.tumble, 1, 0, 0);
                for (int m = 0; m < 3; m++) {
                    glPushMatrix();
                    glRotatef(c.rock[m][0], 0, 0, 1);
                    glRotatef(c.rock[m][1], 0, 1, 0);
                    glCallList(lists + m);
                    glPopMatrix();
                }
                glPopMatrix();
            },
            GL_3D);
        expect_same_stream(drawn, expected, 0.02f, "contraption");  // window units (pixels)
    }
}

TEST(Contraption, LightsFromBehindTheCallerAndLeavesTheEffectState)
{
    record_contraption();
    set_frame_projection();
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT3);
    glDisable(GL_DEPTH_TEST);
    glCullFace(GL_FRONT);
    glShadeModel(GL_FLAT);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.5f);
    glTranslatef(1, 2, 3);  // the light stands in the caller's frame
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    hakkyra(0.3f);

    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after)) << "modelview restored";
    float v[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 2, 5, 1}));
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 1, 1, 1}));
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{0, 0, 0, 1}));
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 1, 1, 1}));
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, v);
    EXPECT_FLOAT_EQ(v[0], 0.001f);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, v);
    EXPECT_EQ(v[0], 0);

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint mode;
    glGetIntegerv(GL_CULL_FACE_MODE, &mode);
    EXPECT_EQ(mode, GL_BACK);
    glGetIntegerv(GL_SHADE_MODEL, &mode);
    EXPECT_EQ(mode, GL_SMOOTH);
}
