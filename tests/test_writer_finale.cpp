// The closing wall: built from the bottom and crumbled away by one clock, the same in every frame.
#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>

#include <algorithm>

#include "bricks/bricks.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"
#include "test_lego_feedback.h"

namespace {

// Bricks by their body's front face (facing +z, 1.2 high and 2 wide: two triangles
// of area 1.2 each); the wall's rocking turns about z, which keeps the facing.
struct wall {
    int bricks;
    int top_row;  // the highest row that has a brick, 0 the top
};

// `t` gives the wall's rocking angle, which is undone to find each brick's row.
wall wall_at(const std::function<void()> &draw, float t)
{
    auto polys = capture_polygons(draw, 20);
    double angle = 5 * cos(0.7 * t) * M_PI / 180;
    wall w = {0, 11};
    for (const polygon &p : polys) {
        if (p.normal.z < 0.999f || p.v.size() != 3)
            continue;
        vec3 a = p.v[0], b = p.v[1], c = p.v[2];
        float area = 0.5f * fabsf((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
        if (fabsf(area - 1.2f) > 1e-2f)
            continue;
        w.bricks++;
        // Rows lie 1.176 apart from y = 6 down; a triangle's centroid is 0.2 off its row.
        double y = -sin(angle) * p.centroid.x + cos(angle) * p.centroid.y;
        w.top_row = std::min(w.top_row, (int)lround((6 - y) / 1.176));
    }
    w.bricks /= 2;
    return w;
}

}  // namespace

TEST(Finale, WallBuildsFromTheBottomAndCrumbles)
{
    const struct {
        float t;
        int least, most;
        int top_row;  // no brick above this row
        const char *why;
    } cases[] = {
        {0, 0, 0, 11, "nothing yet"},
        {1.0f, 5, 60, 4, "cells come from the bottom: rows 0 to 3 cannot have come"},
        {2.0f, 94, 99, 0, "almost whole; neighbours differ in colour, so no bricks merge"},
        {3.0f, 1, 98, 0, "crumbling"},
        {5.0f, 0, 0, 11, "gone"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "t " << c.t << ": " << c.why);
        wall w = wall_at([&] { pathetic(c.t, 3); }, c.t);
        EXPECT_GE(w.bricks, c.least);
        EXPECT_LE(w.bricks, c.most);
        EXPECT_GE(w.top_row, c.top_row);
        // The same time draws the same wall.
        EXPECT_EQ(wall_at([&] { pathetic(c.t, 3); }, c.t).bricks, w.bricks);
    }
}

TEST(Finale, LightRandomSeedAndMatrixLeftBehind)
{
    need_gl_context(256, 192);
    srand(1);
    for (int i = 0; i < 198; i++)
        rand();
    int after_198 = rand();

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    srand(77);
    pathetic(1.5f, 3);
    EXPECT_EQ(rand(), after_198) << "seeded with 1 and advanced by two draws per cell";
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(before[i], after[i]);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    const struct {
        GLenum what;
        int n;
        GLfloat want[4];
    } light[] = {{GL_DIFFUSE, 4, {1, 1, 1, 1}},     {GL_AMBIENT, 4, {0.4f, 0.4f, 0.4f, 1}},
                 {GL_SPECULAR, 4, {1, 1, 1, 1}},    {GL_POSITION, 4, {2, 6, 10, 1}},
                 {GL_LINEAR_ATTENUATION, 1, {0}},   {GL_QUADRATIC_ATTENUATION, 1, {0}}};
    for (const auto &l : light) {
        GLfloat v[4];
        glGetLightfv(GL_LIGHT0, l.what, v);
        for (int i = 0; i < l.n; i++)
            EXPECT_FLOAT_EQ(v[i], l.want[i]) << "light parameter 0x" << std::hex << l.what;
    }
}

TEST(Finale, SceneRunsTheWallAtOnePointTwoTimesItsClock)
{
    need_gl_context(256, 192);
    for (auto &r : lastrig)
        r.store(100);
    prepare_drawing();
    show_ticks_set_virtual(1000);
    beat.store(70);
    run_fx();  // the spiral window re-stamps t2
    show_ticks_set_virtual(2500);
    beat.store(72);
    wall shown = wall_at([] { run_fx(); }, 1.8f);
    EXPECT_FLOAT_EQ(tl.t2, 1.5f);
    EXPECT_GT(shown.bricks, 0);
    wall direct = wall_at([] { pathetic(1.8f, 3); }, 1.8f);
    EXPECT_EQ(shown.bricks, direct.bricks);
    EXPECT_EQ(shown.top_row, direct.top_row);
}
