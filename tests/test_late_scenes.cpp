// The late scenes played through run_fx: slogan, walkers, spiral with greetings, finale.
// Each case plays the frame before the scene (which starts the scene's clock) and then the
// scene's frame in feedback mode, and compares it with the parts the scene should draw,
// placed by hand.
#include <GL/gl.h>
#include <math.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "feedback.h"
#include "gl_context.h"
#include "models/figures.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/offscreen.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

const int width = 400, height = 300;

// Opens the context and sets up the drawing as the show does, once per test.
void start_show(void)
{
    need_gl_context(width, height);
    static bool prepared;
    if (!prepared) {
        prepare_drawing();
        prepared = true;
    }
    for (auto &rows : lastrig)
        rows.store(10000000);
}

// One frame of the show, as the frame loop draws it.
void play(unsigned ms, int b)
{
    show_ticks_set_virtual(ms);
    beat.store(b);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    set_frame_projection();
    run_fx();
}

// Window positions to a fiftieth of a pixel.
void expect_same_picture(const std::vector<float> &got, const std::vector<float> &want,
                         const std::string &what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    ASSERT_GT(got.size(), 0u) << what;
    int wrong = 0;
    for (size_t i = 0; i < got.size() && wrong < 5; i++)
        if (!(fabs(got[i] - want[i]) <= 0.02f)) {
            ADD_FAILURE() << what << ": value " << i << " is " << got[i] << ", expected "
                          << want[i];
            wrong++;
        }
}

// The scene frame in feedback, at `ms`, and the expected parts from the show's frame set-up.
void expect_frame(unsigned ms, int b, const std::function<void()> &parts, const std::string &what)
{
    auto drawn = feedback_stream([&] { play(ms, b); });
    auto expected = feedback_stream([&] {
        set_frame_projection();
        parts();
    });
    expect_same_picture(drawn, expected, what);
}

void contraption(float t, float towards_viewer)
{
    glPushMatrix();
    glTranslatef(0, 0, towards_viewer);
    hakkyra(t);
    glPopMatrix();
}

std::vector<float> current_diffuse(void)
{
    float v[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    return std::vector<float>(v, v + 4);
}

const std::vector<float> blue = {0.05f, 0.05f, 0.9f, 1}, green = {0.3f, 0.7f, 0.2f, 1};

}  // namespace

TEST(LateScenes, StartUpRecordsTheContraptionBeforeCullingIsOn)
{
    // Bricks recorded with culling off leave it off after their undersides; the spiral's
    // set-up then switches it on for every later list.
    start_show();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glEnable(GL_CULL_FACE);
    hakkyra(0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST(LateScenes, SloganListsHoldTheThreeWordsInBlue)
{
    // Compared as pixels: feedback of a replayed list can differ from the same drawing
    // done directly (a quad after a quad strip in one list may go missing from feedback),
    // and under an attenuated light a replayed list may round a channel the other way.
    start_show();
    play(1000, 0);
    const char *words[] = {"toyz", "for", "boyz"};
    for (int i = 0; i < 3; i++) {
        auto picture = [&](const std::function<void()> &draw) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            set_frame_projection();
            glTranslatef(0, 0, -40);
            draw();
            std::vector<unsigned char> rgb(width * height * 3);
            offscreen_read_rgb(width, height, rgb.data());
            return rgb;
        };
        auto listed = picture([&] { glCallList(tl.sika + i); });
        EXPECT_EQ(current_diffuse(), blue) << words[i];
        auto written = picture([&] { write_string(words[i], 0, 4, 1); });
        int off = 0;
        for (size_t k = 0; k < listed.size(); k++)
            off += abs(listed[k] - written[k]) > 1;
        EXPECT_EQ(off, 0) << words[i];
        EXPECT_GT(std::count_if(listed.begin(), listed.end(), [](unsigned char c) { return c; }),
                  1000)
            << words[i];
    }
}

TEST(LateScenes, SloganScrollsTheWordsBehindTheJumpingContraption)
{
    start_show();
    struct {
        int beat;
        float t;
        float y[3];   // heights of "toyz", "for", "boyz"
        float sign;   // the contraption runs backwards on odd beats
    } cases[] = {
        {48, 0, {-10, -30, -50}, 1},  // "boyz" starts below the picture
        {49, 1, {10, -10, -30}, -1},
        {55, 2, {-30, 10, -10}, -1},  // "toyz" has just wrapped from 30 to -30
        {50, 2.5f, {-20, 20, 0}, 1},
    };
    unsigned ms = 1000;
    for (const auto &c : cases) {
        play(ms, 47);  // the faces scene starts the slogan's clock
        expect_frame(ms + (unsigned)(c.t * 1000), c.beat,
                     [&] {
                         for (int i = 0; i < 3; i++) {
                             glPushMatrix();
                             glTranslatef(0, c.y[i], -18);
                             glCallList(tl.sika + i);
                             glPopMatrix();
                         }
                         contraption(c.sign * c.t, 0);
                     },
                     "slogan at beat " + std::to_string(c.beat));
        ms += 10000;
    }

    // A note on track 3 moves the contraption up to 2 units nearer, 0.041 s later nearly all.
    play(ms, 47);
    play(ms + 1000, 52);
    lastrig[3].store(0);
    play(ms + 1100, 52);  // the note is seen
    expect_frame(ms + 1141, 52,
                 [&] {
                     for (int i = 0; i < 3; i++) {
                         glPushMatrix();
                         glTranslatef(0, (float)fmod(20 * 1.141 + 20 - 20 * i, 60) - 30, -18);
                         glCallList(tl.sika + i);
                         glPopMatrix();
                     }
                     contraption(1.141f, 1.9999944f);
                 },
                 "slogan jumping");
}

TEST(LateScenes, WalkersMarchOnTheSlidingFloorUnderTheWordOfTheBeat)
{
    start_show();
    struct {
        int beat;
        float t2;
        float rise;      // the floor group's offset, 0 when in place
        float sign;      // the contraption runs backwards on odd beats
        float turn;      // of the floor group, degrees
        float floor_z;   // the plate slides away and jumps back every 2 units
        const char *word;
        int colour;
    } cases[] = {
        {56, 0.5f, -25, 1, -18.5f, -14.6f, "keep", 4},  // rising into place
        {56, 2, 0, 1, -14, -13.4f, "keep", 4},           // in place after 4/3 s
        {57, 0.5f, 0, -1, -18.5f, -14.6f, "keep", 4},    // the rise belongs to beat 56 only
        {58, 1, 0, 1, -17, -14.2f, "walking", 5},
        {61, 0.25f, 0, -1, -19.25f, -13.8f, "keep", 4},
        {63, 1.5f, 0, -1, -15.5f, -13.8f, "smiling", 5},
    };
    unsigned ms = 1000;
    for (const auto &c : cases) {
        play(ms, 55);  // the slogan starts the walkers' clock
        auto parts = [&](float word_z) {
            glPushMatrix();
            hakkyra(c.sign * c.t2);
            if (c.rise < 0)
                glTranslatef(0, c.rise, 0);
            glRotatef(c.turn, 0, 1, 0);
            glPushMatrix();
            glTranslatef(0, -6, c.floor_z);
            glScalef(2, 1, 2);
            lego(14, 10, 1, 6, 0, 1, 0.1f, 0);
            glPopMatrix();
            glTranslatef(0, 0, -9);
            walkers(c.t2, 3);
            glTranslatef(0, 0, -4);
            walkers(c.t2 + 1, 2);
            glPopMatrix();
            glTranslatef(0, 0, word_z);
            write_string(c.word, 0, c.colour, 1);
        };
        unsigned at = ms + (unsigned)(c.t2 * 1000);
        expect_frame(at, c.beat, [&] { parts(-33); }, "walkers at beat " + std::to_string(c.beat));
        play(at, c.beat);
        EXPECT_EQ(current_diffuse(), c.colour == 4 ? blue : green) << "word at beat " << c.beat;
        ms += 10000;
    }
}

TEST(LateScenes, WalkersWordJumpsWithTrackThree)
{
    start_show();
    play(1000, 55);
    play(2000, 58);
    lastrig[3].store(0);
    play(2100, 58);  // the note is seen at t2 = 1.1
    auto drawn = feedback_stream([&] { play(2150, 58); });
    lastrig[3].store(5);
    auto expected = feedback_stream([&] {
        set_frame_projection();
        glPushMatrix();
        hakkyra(1.15f);
        glRotatef(3 * 1.15f - 20, 0, 1, 0);
        glPushMatrix();
        glTranslatef(0, -6, (float)(-13 - fmod(3.2 * 1.15f, 2)));
        glScalef(2, 1, 2);
        lego(14, 10, 1, 6, 0, 1, 0.1f, 0);
        glPopMatrix();
        glTranslatef(0, 0, -9);
        walkers(1.15f, 3);
        glTranslatef(0, 0, -4);
        walkers(2.15f, 2);
        glPopMatrix();
        glTranslatef(0, 0, -25.103787f);  // 8 sin(sqrt(60 * 0.05)) - 33
        write_string("walking", 0, 5, 1);
    });
    expect_same_picture(drawn, expected, "walking word jumping");
}

TEST(LateScenes, SpiralCarriesOneGreetingABeatThenTheFinaleWall)
{
    start_show();
    struct {
        int beat;
        float t;              // the spiral's clock
        const char *greeting;  // nullptr: none
        float finale;         // the wall's time, 1.2 x the finale's clock; < 0: no wall
    } cases[] = {
        {64, 0.5f, nullptr, -1},
        {65, 1, "     xj     ", -1},
        {66, 1.5f, "   vetra   ", -1},
        {67, 0.25f, "    zeg    ", -1},
        {68, 2, " sulvane ", -1},
        {69, 0.75f, "  gorlin  ", -1},
        {70, 3, "  tyxmo  ", -1},
    };
    unsigned ms = 1000;
    for (const auto &c : cases) {
        play(ms, 63);  // the walkers start the spiral's clock
        expect_frame(ms + (unsigned)(c.t * 1000), c.beat,
                     [&] {
                         glPushMatrix();
                         spiral(c.t);
                         glPopMatrix();
                         glPushMatrix();
                         glTranslatef(0, -2, -32);
                         glRotatef(20, 1, 0, 0);
                         if (c.greeting) {
                             write_string(c.greeting, 0, 2, 1);
                             glTranslatef(0, 0, -6);
                             write_string(c.greeting, 1, 3, 18);
                         }
                         glPopMatrix();
                     },
                     "spiral at beat " + std::to_string(c.beat));
        ms += 10000;
    }

    // Beat 71: the spiral without a greeting, then the wall, its clock started by the
    // last frame of beat 70; from beat 72 the wall alone.
    play(ms, 63);
    play(ms + 1000, 70);
    auto spiral_then_wall = [&](float t, float wall) {
        glPushMatrix();
        spiral(t);
        glPopMatrix();
        pathetic(wall, 3);
    };
    expect_frame(ms + 2500, 71, [&] { spiral_then_wall(2.5f, (float)(1.2 * 1.5f)); }, "beat 71");
    expect_frame(ms + 3500, 72, [&] { pathetic((float)(1.2 * 2.5f), 3); }, "beat 72");
    expect_frame(ms + 4000, 73, [&] { pathetic((float)(1.2 * 3.0f), 3); }, "beat 73");
}

TEST(LateScenes, GreetingTiltsWithStretchedTrackFourPulses)
{
    // The pulse is taken on beat 64 too, so a note there already tilts the first greeting;
    // its time is 0.7 t, so 0.1 s after the note it is sin(sqrt(60 * 0.07)).
    start_show();
    play(1000, 63);
    play(1400, 64);
    lastrig[4].store(0);
    play(1500, 64);  // the note is seen at t = 0.5
    expect_frame(1600, 65,
                 [&] {
                     glPushMatrix();
                     spiral(0.6f);
                     glPopMatrix();
                     glPushMatrix();
                     glTranslatef(0, -2, -32);
                     glRotatef(11.123566f, 1, 0, 0);
                     write_string("     xj     ", 0, 2, 1);
                     glTranslatef(0, 0, -6);
                     write_string("     xj     ", 1, 3, 18);
                     glPopMatrix();
                 },
                 "tilted greeting");
}
