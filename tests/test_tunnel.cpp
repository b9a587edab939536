// The brick tunnel: its slab, the rings' placement, the phase wrap, and the tunnel story scene.
#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>

#include <string.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "gl_context.h"
#include "gl_feedback.h"
#include "shell/clock.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

// The ring, rows 16 to 24, columns 17 to 22: 2 red, 3 white, 4 blue, . empty.
const char *const ring_rows[9] = {
    ".3423.", ".4..4.", "42..23", "2....4", "3....2", "4....3", "23..34", ".4..4.", ".2342.",
};

void set_up_tunnel(void)
{
    static bool done;
    if (done)
        return;
    lego_init();
    syna_init(44100);
    tunneli_init();
    writer_init();
    done = true;
}

// A box that holds the whole tunnel, unclipped, with depth linear in eye z: z = -200 depth.
void deep_ortho(void)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, 0, 200);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

TEST(TunnelSlab, RingThenTenStraysFromTheGeneratorWhereverItStands)
{
    for (unsigned seed : {1u, 77u}) {
        signed char expect[1600] = {};
        for (int r = 0; r < 9; r++)
            for (int c = 0; c < 6; c++)
                if (ring_rows[r][c] != '.')
                    expect[40 * (16 + r) + 17 + c] = (signed char)(ring_rows[r][c] - '0');
        srand(seed);
        for (int i = 0; i < 10; i++) {
            int p = rand() % 1600;  // position first, then colour
            expect[p] = (signed char)(rand() % 2 + 1);
        }
        int after = rand();

        signed char cells[1600];
        memset(cells, 9, sizeof cells);
        srand(seed);
        tunneli_slab(cells);
        EXPECT_EQ(rand(), after) << "the slab must take exactly twenty draws";
        for (int i = 0; i < 1600; i++)
            ASSERT_EQ(cells[i], expect[i]) << "seed " << seed << " row " << i / 40 << " column "
                                           << i % 40;
    }
}

TEST(TunnelSlab, InitContinuesTheSynthesizersSequence)
{
    need_gl_context();
    lego_init();
    srand(5);
    syna_init(44100);
    signed char cells[1600];
    tunneli_slab(cells);
    int expect = rand();

    srand(5);
    syna_init(44100);
    tunneli_init();
    EXPECT_EQ(rand(), expect);
}

// Culling is left as the slab's last brick leaves it: the slab is recorded before
// anything enables culling, so a brick with an underside switches it off on replay.
TEST(Tunnel, LeavesTheBrickStateAndNoFalloff)
{
    need_gl_context();
    set_up_tunnel();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT3);
    tunneli(1.3f, 1);

    GLfloat q = -1, l = -1, pos[4], diffuse[4], m[16];
    glGetLightfv(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, &q);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, &l);
    glGetLightfv(GL_LIGHT0, GL_POSITION, pos);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(q, 0.0f);
    EXPECT_EQ(l, 0.0f);
    EXPECT_FLOAT_EQ(pos[2], -3.0f);  // in front of the viewer, in the caller's frame
    EXPECT_EQ(pos[3], 1.0f);
    EXPECT_EQ(diffuse[0], 1.0f);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << "modelview restored";
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
}

// At t = 0 nothing sways or tilts, so every vertex of ring i lies within a brick's
// half depth of its ring's depth: far end - 60 or - 50, then every 10 units.
TEST(Tunnel, SixRingsTenApartFromTheFarEnd)
{
    need_gl_context();
    set_up_tunnel();
    struct {
        int dir;
        float far_end;
    } cases[] = {{1, -60}, {-1, -50}, {0, -50}};
    for (const auto &c : cases) {
        deep_ortho();
        fb_polygons polys = feedback_polygons([&] { tunneli(0, c.dir); });
        ASSERT_GT(polys.size(), 1000u);
        int per_ring[6] = {};
        int stray = 0;
        for (const auto &p : polys)
            for (size_t j = 2; j < p.size(); j += 3) {
                float z = -200 * p[j];
                int ring = (int)lroundf((z - c.far_end) / 10);
                if (ring >= 0 && ring < 6 && fabsf(z - (c.far_end + 10 * ring)) <= 1.001f)
                    per_ring[ring]++;
                else
                    stray++;
            }
        EXPECT_EQ(stray, 0) << "dir " << c.dir;
        for (int i = 0; i < 6; i++)
            EXPECT_GT(per_ring[i], 0) << "dir " << c.dir << " ring " << i;
    }
}

// When the phase wraps from nearly 10 back to 0, ring i+1 takes over ring i's depth,
// twist and wobble: the frame after the wrap, less its new far ring, is the frame
// before it less its nearest ring.
TEST(Tunnel, PhaseWrapLeavesNoJump)
{
    need_gl_context();
    set_up_tunnel();
    struct {
        float before, after;
    } cases[] = {{0.39999f, 0.4f}, {2.79999f, 2.8f}};
    for (const auto &c : cases) {
        ASSERT_GT(fmodf(25.0f * c.before, 10), 9.99f);
        ASSERT_LT(fmodf(25.0f * c.after, 10), 0.001f);
        deep_ortho();
        fb_polygons before = feedback_polygons([&] { tunneli(c.before, 1); });
        fb_polygons after = feedback_polygons([&] { tunneli(c.after, 1); });
        // The new far ring comes first in the frame after the wrap; find where the rest starts.
        size_t shift = 0;
        while (shift < after.size() && !polygons_match(after, shift, before, 0, 50, 0.05f))
            shift++;
        ASSERT_LT(shift, after.size()) << "t " << c.after << ": no ring continues";
        size_t rest = after.size() - shift;
        EXPECT_GT(rest, before.size() * 3 / 5) << "t " << c.after;
        EXPECT_TRUE(polygons_match(after, shift, before, 0, rest, 0.05f)) << "t " << c.after;
        // And the shift is one ring, not a coincidence: without the wrap it would be 0.
        EXPECT_GT(shift, after.size() / 10);
    }
}

namespace {

struct story_case {
    int beat;
    int dir;           // the tunnel's direction on that beat
    const char *word;  // nullptr: no word
};

// The story: two beats a word; the tunnel flips with odd and even beats.
const story_case story[] = {
    {20, -1, "i"},    {21, 1, "i"},     {22, -1, "was"}, {23, 1, "was"},
    {24, -1, "born"}, {27, 1, "in"},    {28, -1, "billund"},
    {29, 1, "billund"}, {30, -1, nullptr}, {31, 1, nullptr},
};

}  // namespace

// The frame is the tunnel (with -t on even beats) and then the word under its transform.
TEST(TunnelScene, DirectionFlipsWithTheBeatAndTheWordsTellTheStory)
{
    need_gl_context();
    set_up_tunnel();
    for (const auto &c : story) {
        tl.tid = 1000;
        show_ticks_set_virtual(1300);  // t = 0.3
        beat.store(c.beat);
        deep_ortho();
        fb_polygons frame = feedback_polygons([] { run_fx(); });
        ASSERT_EQ(run_fx_log().count, 1);
        ASSERT_EQ(run_fx_log().scene[0], SCENE_TUNNEL);
        float t = tl.t;
        ASSERT_FLOAT_EQ(t, 0.3f);

        fb_polygons tunnel = feedback_polygons([&] {
            glPushMatrix();
            tunneli(c.dir == 1 ? t : -t, c.dir);
            glPopMatrix();
        });
        fb_polygons word = feedback_polygons([&] {
            glPushMatrix();
            glTranslatef((float)(30 * sin(2.0f * t)), -14, -24);
            glRotatef((float)(5 * sin(t)), 0, 1, 0);
            if (c.word)
                write_string(c.word, 0, 1, 1);
            glPopMatrix();
        });
        ASSERT_EQ(frame.size(), tunnel.size() + word.size()) << "beat " << c.beat;
        EXPECT_TRUE(polygons_match(frame, 0, tunnel, 0, tunnel.size(), 0.001f))
            << "beat " << c.beat;
        EXPECT_TRUE(polygons_match(frame, tunnel.size(), word, 0, word.size(), 0.001f))
            << "beat " << c.beat;
        if (c.word) {
            EXPECT_GT(word.size(), 0u);
        }
    }
}
