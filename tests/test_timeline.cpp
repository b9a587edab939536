// The show clocks and the scene windows, driven by a virtual tick clock and a scripted beat.
#include <GL/gl.h>

#include <vector>

#include "gl_context.h"
#include "shell/clock.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

struct drawn {
    int scene;
    float time;
};

struct frame_case {
    unsigned ticks;
    int beat;
    std::vector<drawn> expect;  // in drawing order, with the clock each scene was given
};

// One walk through the show, a frame or two per scene. Each scene's clock counts
// from the last frame of the scene before it, not from the beat boundary.
const frame_case walk[] = {
    {1000, 0, {{SCENE_BALL, 0.0f}, {SCENE_TITLES, 0.0f}}},
    {3000, 7, {{SCENE_BALL, 2.0f}, {SCENE_TITLES, 2.0f}}},      // titles re-stamp t2
    {3016, 8, {{SCENE_BALL, 0.016f}, {SCENE_PARADE, 0.016f}}},  // ball switches to t2
    {5000, 19, {{SCENE_BALL, 2.0f}, {SCENE_PARADE, 2.0f}}},
    {7000, 20, {{SCENE_TUNNEL, 2.0f}}},                         // a late first frame
    {7500, 32, {{SCENE_FACES, 0.5f}}},
    {8000, 48, {{SCENE_SLOGAN, 0.5f}}},
    {8250, 56, {{SCENE_WALKERS, 0.25f}}},
    {9250, 64, {{SCENE_SPIRAL, 1.0f}}},
    {9500, 70, {{SCENE_SPIRAL, 1.25f}}},
    {9600, 71, {{SCENE_SPIRAL, 1.35f}, {SCENE_FINALE, 0.1f}}},  // finale counts from beat 70
    {9700, 72, {{SCENE_FINALE, 0.2f}}},
    {9800, 500, {{SCENE_FINALE, 0.3f}}},
};

}  // namespace

TEST(Timeline, WindowsDrawInOrderWithTheirClocks)
{
    need_gl_context();
    for (const auto &f : walk) {
        show_ticks_set_virtual(f.ticks);
        beat.store(f.beat);
        run_fx();
        const fx_log &log = run_fx_log();
        ASSERT_EQ(log.count, (int)f.expect.size()) << "beat " << f.beat;
        for (int i = 0; i < log.count; i++) {
            EXPECT_EQ(scene_names[log.scene[i]], scene_names[f.expect[i].scene])
                << "beat " << f.beat << " position " << i;
            EXPECT_NEAR(log.time[i], f.expect[i].time, 1e-5) << "beat " << f.beat << " "
                                                             << scene_names[log.scene[i]];
        }
    }
}

TEST(Timeline, FirstCallStampsClocksAndBuildsTheTextLists)
{
    need_gl_context();
    show_ticks_set_virtual(250);
    beat.store(0);
    run_fx();
    EXPECT_EQ(tl.tid, 250.0f);
    EXPECT_EQ(tl.tid2, 250.0f);  // the title window re-stamps t2 in the first call
    ASSERT_GT(tl.sika, 0);
    EXPECT_EQ(tl.kuk, tl.sika + 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_TRUE(glIsList(tl.sika + i));
        EXPECT_TRUE(glIsList(tl.kuk + i));
    }
    int kuk = tl.kuk;
    show_ticks_set_virtual(300);
    run_fx();
    EXPECT_EQ(tl.kuk, kuk);  // built once
    EXPECT_FLOAT_EQ(tl.t, 0.05f);
}
