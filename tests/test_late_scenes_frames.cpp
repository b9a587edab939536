// The first frame of every beat from 48 to the end shows the scene of that beat: its
// dominant colours and lit area, measured in pixels, match the recorded ones.
#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "gl_context.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/offscreen.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

const int width = 160, height = 120;

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

// Recorded from the show at 160 x 120, with no notes on the drum tracks: slogan (48-55),
// walkers (56-63), spiral (64, 71) with a greeting (65-70), the wall complete (72) and
// gone (73). Re-record after an intended change of the picture with
//   TAVIO_PRINT_SIGNATURES=1 build/tests/tavio_tests --gtest_filter='LateScenesFrames.*'
const signature recorded[] = {
    {48, 0.258f, 0.415f, 0.006f, 0.000f, 0.000f, 0.743f},
    {49, 0.321f, 0.289f, 0.151f, 0.000f, 0.000f, 0.761f},
    {50, 0.339f, 0.393f, 0.059f, 0.000f, 0.000f, 0.791f},
    {51, 0.316f, 0.405f, 0.085f, 0.000f, 0.000f, 0.845f},
    {52, 0.320f, 0.311f, 0.060f, 0.000f, 0.000f, 0.692f},
    {53, 0.341f, 0.364f, 0.059f, 0.000f, 0.000f, 0.763f},
    {54, 0.301f, 0.377f, 0.022f, 0.000f, 0.000f, 0.736f},
    {55, 0.278f, 0.250f, 0.027f, 0.000f, 0.000f, 0.555f},
    {56, 0.242f, 0.337f, 0.056f, 0.000f, 0.000f, 0.696f},
    {57, 0.436f, 0.098f, 0.172f, 0.000f, 0.068f, 0.775f},
    {58, 0.399f, 0.174f, 0.116f, 0.084f, 0.077f, 0.851f},
    {59, 0.423f, 0.157f, 0.093f, 0.084f, 0.100f, 0.862f},
    {60, 0.438f, 0.114f, 0.138f, 0.000f, 0.100f, 0.795f},
    {61, 0.425f, 0.082f, 0.135f, 0.000f, 0.076f, 0.756f},
    {62, 0.421f, 0.164f, 0.108f, 0.080f, 0.063f, 0.838f},
    {63, 0.387f, 0.092f, 0.103f, 0.071f, 0.065f, 0.719f},
    {64, 0.184f, 0.319f, 0.000f, 0.000f, 0.000f, 0.509f},
    {65, 0.200f, 0.348f, 0.101f, 0.000f, 0.000f, 0.660f},
    {66, 0.217f, 0.342f, 0.078f, 0.000f, 0.000f, 0.649f},
    {67, 0.231f, 0.326f, 0.090f, 0.000f, 0.000f, 0.654f},
    {68, 0.220f, 0.342f, 0.063f, 0.000f, 0.000f, 0.637f},
    {69, 0.241f, 0.348f, 0.072f, 0.000f, 0.000f, 0.667f},
    {70, 0.203f, 0.330f, 0.070f, 0.000f, 0.000f, 0.613f},
    {71, 0.168f, 0.351f, 0.000f, 0.000f, 0.000f, 0.524f},
    {72, 0.000f, 0.539f, 0.384f, 0.000f, 0.000f, 0.982f},
    {73, 0.000f, 0.000f, 0.000f, 0.000f, 0.000f, 0.000f},
};

}  // namespace

TEST(LateScenesFrames, EachBeatShowsItsScene)
{
    need_gl_context(width, height);
    prepare_drawing();
    for (auto &rows : lastrig)
        rows.store(10000000);
    const bool print = getenv("TAVIO_PRINT_SIGNATURES") != nullptr;

    // Each beat lasts 1920 ms; the frame before a beat boundary is played too, since it
    // starts the clock of the scene that follows.
    std::vector<unsigned char> rgb(width * height * 3);
    show_ticks_set_virtual(1);
    beat.store(0);
    run_fx();
    size_t checked = 0;
    for (int b = 48; b <= 73; b++) {
        unsigned start = 1 + 1920 * b;
        for (unsigned ms : {start - 17, start}) {
            show_ticks_set_virtual(ms);
            beat.store(ms == start ? b : b - 1);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            set_frame_projection();
            run_fx();
        }
        offscreen_read_rgb(width, height, rgb.data());
        signature s = measure(b, rgb);
        if (print)
            printf("    {%d, %.3ff, %.3ff, %.3ff, %.3ff, %.3ff, %.3ff},\n", s.beat, s.red, s.white,
                   s.blue, s.green, s.yellow, s.lit);
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
    EXPECT_EQ(checked, sizeof recorded / sizeof recorded[0]);
}
