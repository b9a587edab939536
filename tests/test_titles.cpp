// The opening titles and the flashing ball, driven through run_fx by scripted beats and notes.
//
// Each frame is drawn in feedback mode and compared with what its parts draw alone:
// the ball at the frame's clock, then the title card at the pulse's height.
#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/png.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"
#include "test_lego_feedback.h"

namespace {

using feedback_detail::raw_polygon;

const int W = 256, H = 192;

void start_show(void)
{
    need_gl_context(W, H);
    for (auto &r : lastrig)
        r.store(10000000);
    beat.store(0);
    prepare_drawing();
}

// What one call emits in window coordinates, through the show's projection.
std::vector<raw_polygon> emitted(const std::function<void()> &draw)
{
    static std::vector<GLfloat> buffer(1 << 22);
    set_frame_projection();
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    std::vector<raw_polygon> out;
    for (int i = 0; i < n;) {
        int token = (int)buffer[i++];
        if (token == GL_PASS_THROUGH_TOKEN) {
            i++;
            continue;
        }
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected token " << token;
            break;
        }
        raw_polygon p;
        int count = (int)buffer[i++];
        for (int k = 0; k < count; k++, i += 3)
            p.window.push_back({buffer[i], buffer[i + 1], buffer[i + 2]});
        out.push_back(p);
    }
    return out;
}

bool alike(const std::vector<raw_polygon> &a, const std::vector<raw_polygon> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i].window.size() != b[i].window.size())
            return false;
        for (size_t k = 0; k < a[i].window.size(); k++)
            if (fabsf(a[i].window[k].x - b[i].window[k].x) > 0.01f ||
                fabsf(a[i].window[k].y - b[i].window[k].y) > 0.01f ||
                fabsf(a[i].window[k].z - b[i].window[k].z) > 1e-5f)
                return false;
    }
    return true;
}

struct step {
    unsigned ms;
    int beat;
    int rows_since_note;  // lastrig[4]; a drop means a new note
    bool ball;            // the ball flashes in this frame
    int card;             // the title card drawn, -1 for none
    int first;            // titles released after the frame
    const char *why;
};

// Runs the steps; `pulse_from` is the clock value at which the running pulse began.
void play(const std::vector<step> &steps)
{
    float pulse_from = -1;
    for (const step &s : steps) {
        SCOPED_TRACE(testing::Message() << s.ms << " ms, beat " << s.beat << ": " << s.why);
        show_ticks_set_virtual(s.ms);
        beat.store(s.beat);
        int before = lastrig[4].load();
        lastrig[4].store(s.rows_since_note);
        std::vector<raw_polygon> frame = emitted([] { run_fx(); });

        float t = tl.t;
        if (s.rows_since_note < before)
            pulse_from = t;
        float dt = t - pulse_from;
        float p = pulse_from >= 0 && dt >= 0 && sqrtf(60 * dt) < (float)M_PI
                      ? (float)sin(sqrt(60 * dt)) : 0;

        std::vector<raw_polygon> want;
        if (s.ball)
            want = emitted([&] { ball1(t); });
        if (s.card >= 0) {
            auto card = emitted([&] {
                glTranslatef(0, -2, 6 * p - 24);
                glRotatef(24, 1, 0, 0);
                glCallList(tl.kuk + s.card);
            });
            want.insert(want.end(), card.begin(), card.end());
        }
        EXPECT_TRUE(alike(frame, want)) << frame.size() << " polygons drawn, " << want.size()
                                        << " expected (pulse " << p << ")";
        EXPECT_EQ(tl.first, s.first);
    }
}

}  // namespace

TEST(Titles, EachCardWaitsForTheFirstNoteOfItsSlot)
{
    start_show();
    play({
        {1000, 0, 100, false, -1, 0, "first call: nothing visible"},
        {1100, 0, 0, false, -1, 0, "the note is seen, the pulse still 0"},
        {1120, 0, 1, true, -1, 0, "one frame later the ball flashes; no title before beat 2"},
        {1400, 1, 10, false, -1, 0, "the pulse is over"},
        {2000, 2, 20, false, -1, 0, "slot 1 waits for a note"},
        {2100, 2, 0, false, -1, 0, "note seen"},
        {2130, 2, 1, true, 0, 1, "released with the flash, nearer by the pulse"},
        {2500, 3, 5, false, 0, 1, "stays up"},
        {3000, 3, 10, false, 0, 1, "still up"},
        {3900, 3, 0, false, 0, 1, "a note late in slot 1 asks nothing of the table"},
        {3920, 4, 1, true, 1, 2, "the running pulse releases card 1 in its slot's first frame"},
        {4500, 5, 5, false, 1, 2, ""},
        {6000, 6, 30, false, 1, 2, "slot 3: card 1 stays until a note"},
        {6200, 6, 0, false, 1, 2, "note seen"},
        {6216, 6, 1, true, 2, 3, "card 2 released"},
        {6300, 7, 2, true, 2, 3, "the same pulse, still running"},
        {7000, 7, 8, false, 2, 3, ""},
    });
}

TEST(Titles, CardsWhosePredecessorNeverCameShowAtOnce)
{
    start_show();
    play({
        {1000, 0, 100, false, -1, 0, ""},
        {3000, 2, 100, false, -1, 0, "no note in beats 2 and 3: empty"},
        {3500, 3, 100, false, -1, 0, ""},
        {4000, 4, 100, false, 1, 0, "card 1 at once, first stays 0"},
        {6000, 6, 100, false, 2, 0, "card 2 at once too"},
        {6050, 6, 0, false, 2, 0, "a note now changes nothing in the table"},
        {6080, 6, 1, true, 2, 0, "but flashes the ball"},
    });
}

TEST(Titles, BallWindowAfterTheTitles)
{
    // Beats 8 to 19: the ball is always drawn on clock t2, jerked back by track-3 pulses.
    // (The parade's word calls musasynk(3, t2) too, after the ball, with the same value.)
    start_show();
    for (auto &r : lastrig)
        r.store(100);
    show_ticks_set_virtual(1000);
    beat.store(7);
    run_fx();  // the titles re-stamp t2

    const struct {
        unsigned ms;
        int rows_since_note;  // lastrig[3]
        float ball_time;      // t2 - 0.4 * pulse
        const char *why;
    } steps[] = {
        {1500, 100, 0.5f, "no pulse: the ball at t2"},
        {1600, 0, 0.6f, "the note is seen; the pulse is still 0"},
        {1620, 1, 0.62f - 0.4f * (float)sin(sqrt(60 * 0.02)), "jerked back by the pulse"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.why);
        show_ticks_set_virtual(s.ms);
        beat.store(9);
        lastrig[3].store(s.rows_since_note);
        auto frame = emitted([] { run_fx(); });
        float at = s.ball_time;
        auto ball = emitted([&] { ball1(at); });
        // The ball comes first; the parade draws over it.
        ASSERT_GE(frame.size(), ball.size());
        frame.resize(ball.size());
        EXPECT_TRUE(alike(frame, ball));
    }
}

// The reference picture: the frame in which the first card is released, with the
// ball flashing behind it. Re-record after an intended change of the picture with
//   TAVIO_RECORD=1 build/tests/tavio_tests --gtest_filter='Titles.ReferenceFrame'
// which rewrites tests/reference/titles_release.png.
TEST(Titles, ReferenceFrame)
{
    const char *reference = TAVIO_SOURCE_DIR "/tests/reference/titles_release.png";
    const int channel_cap = 40;  // a pixel differs when a channel differs by more
    const int pixel_cap = 20;    // fewer differing pixels than one brick covers

    start_show();
    auto frame = [](unsigned ms, int b, int rows) {
        show_ticks_set_virtual(ms);
        beat.store(b);
        lastrig[4].store(rows);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        set_frame_projection();
        run_fx();
    };
    frame(1000, 0, 100);
    frame(2000, 2, 0);
    frame(2040, 2, 1);
    ASSERT_EQ(tl.first, 1);
    std::vector<unsigned char> actual(W * H * 3);
    offscreen_read_rgb(W, H, actual.data());

    const char *record = getenv("TAVIO_RECORD");
    if (record && strcmp(record, "1") == 0) {
        ASSERT_EQ(png_write(reference, W, H, actual.data()), 0) << reference;
        GTEST_SKIP() << "recorded " << reference;
    }

    int rw = 0, rh = 0;
    std::vector<unsigned char> want;
    ASSERT_EQ(png_read(reference, &rw, &rh, want), 0) << "cannot read " << reference;
    ASSERT_EQ(rw, W);
    ASSERT_EQ(rh, H);
    std::vector<unsigned char> diff(W * H * 3);
    int over = 0, worst = 0;
    for (int i = 0; i < W * H; i++) {
        int d = 0;
        for (int c = 0; c < 3; c++)
            d = std::max(d, abs(actual[i * 3 + c] - want[i * 3 + c]));
        worst = std::max(worst, d);
        if (d > channel_cap)
            over++;
        // Differences in red, scaled up; the reference dimmed underneath.
        diff[i * 3] = (unsigned char)std::min(255, d * 4);
        diff[i * 3 + 1] = (unsigned char)(want[i * 3 + 1] / 4);
        diff[i * 3 + 2] = (unsigned char)(want[i * 3 + 2] / 4);
    }
    if (over > pixel_cap) {
        std::string dir = TAVIO_BINARY_DIR "/test-output";
        mkdir(dir.c_str(), 0755);
        png_write((dir + "/titles_release.actual.png").c_str(), W, H, actual.data());
        png_write((dir + "/titles_release.diff.png").c_str(), W, H, diff.data());
        ADD_FAILURE() << over << " pixels differ by more than " << channel_cap << " (worst "
                      << worst << "); see " << dir << "/titles_release.{actual,diff}.png";
    }
}
