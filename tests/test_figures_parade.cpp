// The serf parade: five serfs marching left under the word of the beat, the word jumping with track 3.
#include <GL/gl.h>
#include <math.h>

#include <string>
#include <vector>

#include "bricks/bricks.h"
#include "feedback.h"
#include "gl_context.h"
#include "models/figures.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/png.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "shell/sync.h"
#include "synth/synth.h"

namespace {

void prepare_once(int w = 256, int h = 192)
{
    static bool done;
    need_gl_context(w, h);
    if (!done)
        prepare_drawing();
    done = true;
}

// No note on track 3 since long ago, and no pulse left running.
void quiet_track3()
{
    lastrig[3].store(10000000);
    musasynk(3, 1e6f);
}

// The parade as it should look, drawn from its numbers.
void parade_by_hand(float t2, const char *word, int colour, float pulse)
{
    glPushMatrix();
    for (int i = 0; i < 5; i++) {
        glPushMatrix();
        glTranslatef(13 + 7 * i - 2.4f * t2, 0, -9);
        glRotatef((float)(60 * sin(3 * t2 + i)), 0, 1, 0);
        microserf();
        glPopMatrix();
    }
    glTranslatef(0, 0, 8 * pulse - 26);
    if (word)
        write_string(word, 0, colour, 1);
    glPopMatrix();
}

void expect_same(const std::vector<fb_vertex> &got, const std::vector<fb_vertex> &want, const std::string &what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); i++) {
        ASSERT_NEAR(got[i].x, want[i].x, 1e-3) << what << " vertex " << i;
        ASSERT_NEAR(got[i].y, want[i].y, 1e-3) << what << " vertex " << i;
        ASSERT_NEAR(got[i].z, want[i].z, 1e-5) << what << " vertex " << i;
    }
}

}  // namespace

TEST(Parade, SerfsMarchLeftUnderTheWordOfTheirBeat)
{
    prepare_once();
    const struct {
        int beat;
        float t2;
        const char *word;
        int colour;
    } cases[] = {
        {8, 0.0f, "from", 4},  {10, 4.5f, "from", 4}, {11, 5.0f, "serfs", 2}, {13, 9.0f, "serfs", 2},
        {14, 11.0f, "to", 4},  {16, 15.0f, "to", 4},  {17, 17.0f, "serfs", 2}, {19, 22.9f, "serfs", 2},
        {20, 23.0f, nullptr, 0},  // the song moved on after the window was chosen
    };
    for (const auto &c : cases) {
        quiet_track3();
        beat.store(c.beat);
        set_frame_projection();
        auto drawn = feedback_vertices([&] { scene_parade(c.t2); });
        set_frame_projection();
        auto want = feedback_vertices([&] { parade_by_hand(c.t2, c.word, c.colour, 0); });
        expect_same(drawn, want, "beat " + std::to_string(c.beat));
    }
}

TEST(Parade, TheLastSerfReachesTheMiddleAfterAboutSeventeenSeconds)
{
    prepare_once();
    quiet_track3();
    beat.store(12);
    // The light of each serf is placed in that serf's frame; the last serf's stays.
    for (float t2 : {0.0f, 41 / 2.4f}) {
        set_frame_projection();
        scene_parade(t2);
        std::vector<float> light(4);
        glGetLightfv(GL_LIGHT0, GL_POSITION, light.data());
        double turn = 60 * sin(3 * t2 + 4) * M_PI / 180;
        double x = 41 - 2.4 * t2 + 2 * cos(turn) + 10 * sin(turn);
        double z = -9 - 2 * sin(turn) + 10 * cos(turn);
        EXPECT_NEAR(light[0], x, 1e-3) << "t2 " << t2;
        EXPECT_NEAR(light[1], 6, 1e-3) << "t2 " << t2;
        EXPECT_NEAR(light[2], z, 1e-3) << "t2 " << t2;
        GLint depth;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
}

TEST(Parade, WordJumpsWithTrackThreeInTheShow)
{
    const int w = 512, h = 384;
    prepare_once(w, h);
    glViewport(0, 0, w, h);
    quiet_track3();
    beat.store(9);
    show_ticks_set_virtual(1000);
    run_fx();  // enters the parade: the clocks start
    float t2_start = tl.t2;
    lastrig[3].store(0);  // a note on track 3
    show_ticks_set_virtual(1500);
    set_frame_projection();
    run_fx();  // the ball's call sees it; the pulse is still 0
    ASSERT_EQ(run_fx_log().count, 2);
    EXPECT_EQ(run_fx_log().scene[0], SCENE_BALL);
    EXPECT_EQ(run_fx_log().scene[1], SCENE_PARADE);

    lastrig[3].store(2);
    show_ticks_set_virtual(1540);
    float t2 = t2_start + 0.54f;
    float pulse = (float)sin(sqrt(0.04 * 60));
    ASSERT_GT(pulse, 0.99f);
    set_frame_projection();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    auto drawn = feedback_vertices([] { run_fx(); });
    set_frame_projection();
    auto word = feedback_vertices([&] {
        glTranslatef(0, 0, 8 * pulse - 26);
        write_string("from", 0, 4, 1);
    });
    ASSERT_GT(drawn.size(), word.size());
    expect_same(std::vector<fb_vertex>(drawn.end() - word.size(), drawn.end()), word,
                "the word 8 units nearer");
    EXPECT_NEAR(tl.t2, t2, 1e-4);

    // The frame itself, for a look: the ball, the serfs and the word.
    set_frame_projection();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    show_ticks_set_virtual(6000);
    run_fx();
    std::vector<unsigned char> rgb(w * h * 3);
    offscreen_read_rgb(w, h, rgb.data());
    png_write((std::string(TAVIO_BINARY_DIR) + "/figures-parade.png").c_str(), w, h, rgb.data());
}
