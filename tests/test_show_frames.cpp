// The whole show, played as the capture plays it (the real song, a virtual clock): the
// first frame of every beat draws the scenes of that beat, and its dominant colours and
// lit area, measured in pixels, match the recorded ones.
#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gl_context.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/offscreen.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

const int width = 160, height = 120, fps = 10;

// Shares of the picture by colour class; the classes do not overlap.
struct signature {
    int beat;
    float red, white, blue, green, yellow, lit;
};

signature measure(int b, const std::vector<unsigned char> &rgb)
{
    signature s = {b, 0, 0, 0, 0, 0, 0};
    const float share = 1.0f / (width * height);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        int r = rgb[i], g = rgb[i + 1], bl = rgb[i + 2];
        int hi = std::max(r, std::max(g, bl)), lo = std::min(r, std::min(g, bl));
        if (hi < 40)
            continue;  // dark
        s.lit += share;
        if (hi - lo < hi / 4)
            s.white += share;  // white and greys
        else if (r > 2 * g && r > 2 * bl)
            s.red += share;
        else if (bl > 2 * r && bl > g)
            s.blue += share;
        else if (r > 2 * bl && g > 2 * bl && g * 3 > r * 2)
            s.yellow += share;
        else if (g > r && g > bl)
            s.green += share;
    }
    return s;
}

// The scenes a beat's frames draw, in drawing order.
std::string scenes_of_beat(int b)
{
    if (b <= 7) return "ball+titles";
    if (b <= 19) return "ball+parade";
    if (b <= 31) return "tunnel";
    if (b <= 47) return "faces";
    if (b <= 55) return "slogan";
    if (b <= 63) return "walkers";
    if (b <= 70) return "spiral";
    if (b == 71) return "spiral+finale";
    return "finale";
}

std::string drawn_scenes(void)
{
    const fx_log &log = run_fx_log();
    std::string s;
    for (int i = 0; i < log.count; i++)
        s += (i ? "+" : "") + std::string(scene_names[log.scene[i]]);
    return s;
}

// Recorded from the show at 160 x 120 and 10 frames per second. Re-record after an
// intended change of the picture with
//   TAVIO_PRINT_SIGNATURES=1 build/tests/tavio_tests --gtest_filter='ShowFrames.*'
const signature recorded[] = {
#include "show_frames.inc"
};

}  // namespace

TEST(ShowFrames, EachBeatShowsItsScene)
{
    syna_init(44100);
    ASSERT_EQ(syna_get((char *)piisi), 0);
    need_gl_context(width, height);
    show_ticks_set_virtual(1);
    prepare_drawing();
    run_fx();

    const bool print = getenv("TAVIO_PRINT_SIGNATURES") != nullptr;
    std::vector<unsigned char> rgb(width * height * 3);
    std::vector<short> sound(2 * 44100 / fps + 2);
    int last_beat = -1;
    size_t checked = 0;
    for (long long k = 0; last_beat <= 72; k++) {
        syna_play(sound.data(), (int)((k + 1) * 44100 / fps - k * 44100 / fps));
        show_ticks_set_virtual((unsigned)(1 + k * 1000 / fps));
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        set_frame_projection();
        run_fx();
        int b = beat.load();
        if (b == last_beat)
            continue;
        last_beat = b;
        EXPECT_EQ(drawn_scenes(), scenes_of_beat(b)) << "beat " << b;
        offscreen_read_rgb(width, height, rgb.data());
        signature s = measure(b, rgb);
        if (print)
            printf("    {%d, %.3ff, %.3ff, %.3ff, %.3ff, %.3ff, %.3ff},\n", s.beat, s.red,
                   s.white, s.blue, s.green, s.yellow, s.lit);
        for (const signature &want : recorded) {
            if (want.beat != b)
                continue;
            checked++;
            const float tolerance = 0.03f;
            EXPECT_NEAR(s.red, want.red, tolerance) << "beat " << b;
            EXPECT_NEAR(s.white, want.white, tolerance) << "beat " << b;
            EXPECT_NEAR(s.blue, want.blue, tolerance) << "beat " << b;
            EXPECT_NEAR(s.green, want.green, tolerance) << "beat " << b;
            EXPECT_NEAR(s.yellow, want.yellow, tolerance) << "beat " << b;
            EXPECT_NEAR(s.lit, want.lit, tolerance) << "beat " << b;
        }
    }
    if (!print) {
        EXPECT_EQ(checked, 74u);
    }
}
