// The sequencer and mixer: rows, events, echo, volume, clamping, the song clock and pakki.
#include <gtest/gtest.h>
#include <string.h>

#include "test_synth_helpers.h"

namespace {

const int ROW = 5292;  // frames per row at 125 bpm
const int E = 3 * ROW;

// One track: instrument 1 is a square that the test then overwrites with
// `value` in every entry; pan 0.5 and no filter, so each side gets value / 2.
int one_track(const std::string &pattern, float value, int sustain = 20000)
{
    std::string text = "bpm:125\ni1:kantti,1,0," + std::to_string(sustain) +
                       ",1,0,0,50,0\np1:" + pattern + "\nt1:p1\n";
    int r = parse_song(text);
    for (int k = 0; k < song.len[1]; k++)
        song.instr[1][k] = value;
    return r;
}

int rows_since_note(int track)
{
    return lastrig[track].load(std::memory_order_relaxed);
}

TEST(SynthSequencer, RowsAndTheSongClock)
{
    ASSERT_EQ(one_track("c5,0,0", 0.0f), 0);
    song.trak[1][1] = EV_LOOP;  // t1:p1,loop
    song.trak[1][2] = EV_END;
    EXPECT_EQ(rows_since_note(1), 10000000);
    struct { int until_counter, rows; } steps[] = {
        {1, 0},             // frame 0 is a row boundary with the note
        {ROW, 0},
        {ROW + 1, 1},       // the next row starts at frame 5292
        {2 * ROW + 1, 2},
        {3 * ROW, 2},
        {3 * ROW + 1, 0},   // the loop plays the pattern again
    };
    for (auto &s : steps) {
        render_frames(s.until_counter - counter);
        EXPECT_EQ(rows_since_note(1), s.rows) << "after frame " << counter - 1;
    }
    render_frames(16 * ROW - counter);
    EXPECT_EQ(beat.load(), 0);
    render_frames(1);
    EXPECT_EQ(beat.load(), 1);  // beat 1 at frame 84672
}

TEST(SynthSequencer, OutputScaleAndClamp)
{
    struct { float value; int expect; } cases[] = {
        {4.0f, 21844}, {-4.0f, -21844}, {6.0f, 32766}, {8.0f, 32766}, {-8.0f, -32766},
        {0.0001f, 0},  // 0.00005 * 10922 truncates to 0
    };
    for (auto &c : cases) {
        ASSERT_EQ(one_track("c5", c.value), 0);
        std::vector<int> out = render_frames(100);
        for (int i = 0; i < 200; i++)
            ASSERT_EQ(out[i], c.expect) << c.value << " sample " << i;
    }
}

TEST(SynthSequencer, VolumeStopAndRestart)
{
    // "vol,20,c5": the volume changes in row 0, the note starts in row 1.
    ASSERT_EQ(one_track("vol,20,c5", 4.0f), 0);
    std::vector<int> out = render_frames(2 * ROW);
    EXPECT_EQ(out[2 * (ROW - 1)], 0);
    EXPECT_EQ(out[2 * ROW], 4368);  // 0.2 * 4.0 * 0.5 * 10922, truncated

    // "stop" silences the voice from the first frame of its row.
    ASSERT_EQ(one_track("c5,stop", 4.0f), 0);
    out = render_frames(3 * ROW);
    EXPECT_EQ(out[2 * (ROW - 1)], 21844);
    for (int i = ROW; i < 3 * ROW; i++)
        ASSERT_EQ(out[2 * i], 0) << i;

    // Notes on consecutive rows restart the sample; lastrig is 0 after each.
    ASSERT_EQ(one_track("c5,c5", 0.0f), 0);
    for (int k = 0; k < song.len[1]; k++)
        song.instr[1][k] = 0.001f * (k % 1000);  // a ramp shows where the voice reads
    out = render_frames(ROW + 5);
    EXPECT_EQ(rows_since_note(1), 0);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(out[2 * (ROW + i)], out[2 * i]) << i;
}

TEST(SynthSequencer, EchoReturnsAfterThreeRowsLessOneFrame)
{
    // An impulse: the sample is 1, 0, 0, so the voice sounds for two frames.
    ASSERT_EQ(one_track("echo1,c5", 0.0f, 0), 0);
    ASSERT_EQ(song.len[1], 3);
    song.instr[1][0] = 1.0f;
    const int note = ROW;  // the note starts one row after the echo is switched on
    std::vector<int> out = render_frames(note + 2 * E + 10);
    for (int i = 0; i < note + 2 * E + 10; i++) {
        int expect = 0;
        if (i == note)
            expect = 5461;  // 1.0 * 0.5
        else if (i == note + E - 1)
            expect = 1092;  // fed back 0.2: 0.1 per side
        else if (i == note + 2 * E - 2)
            expect = 655;   // the voice has ended: each pass scales by 0.6
        ASSERT_EQ(out[2 * i], expect) << "frame " << i;
    }
}

TEST(SynthSequencer, FinishedTracksAndMissingTrackOne)
{
    ASSERT_EQ(one_track("c5,0", 4.0f, 10), 0);
    render_frames(6 * ROW);
    EXPECT_EQ(voice[1].ti, -2);
    EXPECT_EQ(rows_since_note(1), 5);  // still counted after the list ended
    std::vector<int> out = render_frames(100);
    for (int v : out)
        ASSERT_EQ(v, 0);

    // No track 1: nothing plays, but the clock runs.
    ASSERT_EQ(parse_song("bpm:125\ni2:saha,1,0,9000,1,0\np1:c5\nt2:p1\n"), 0);
    EXPECT_EQ(song.tracks, 0);
    out = render_frames(16 * ROW + 1);
    for (int v : out)
        ASSERT_EQ(v, 0);
    EXPECT_EQ(beat.load(), 1);
    EXPECT_EQ(rows_since_note(2), 10000000);
}

TEST(SynthSequencer, PakkiConvertsBytesToFrames)
{
    ASSERT_EQ(one_track("c5", 4.0f), 0);
    unsigned char buf[4096 + 8];
    struct { int bytes, frames; } cases[] = {{4096, 1024}, {4094, 1023}, {3, 0}, {0, 0}, {-4, 0}};
    for (auto &c : cases) {
        memset(buf, 0xee, sizeof buf);
        int before = counter;
        pakki(nullptr, buf, c.bytes);
        EXPECT_EQ(counter - before, c.frames) << c.bytes;
        EXPECT_EQ(buf[4 * c.frames], 0xee) << "wrote past " << c.bytes << " bytes";
        if (c.frames) {  // 21844 big-endian
            EXPECT_EQ(buf[0] << 8 | buf[1], 21844);
        }
    }
}

TEST(SynthSequencer, NoSongIsSilence)
{
    syna_init(44100);
    std::vector<int> out = render_frames(1000);
    for (int v : out)
        ASSERT_EQ(v, 0);
    ASSERT_EQ(parse_song("bpm:125\ni1:saha,1,0,100,1,0\np1:c5\nt1:p1,p2\n"), -1);
    out = render_frames(ROW + 10);
    for (int v : out)
        ASSERT_EQ(v, 0);
}


TEST(SynthSequencer, ANewSongStartsFromItsBeginning)
{
    ASSERT_EQ(one_track("0,0,0,0,c5", 4.0f), 0);
    render_frames(4 * ROW + 10);
    EXPECT_EQ(voice[1].pi, 4);
    char second[] = "bpm:125\ni1:kantti,1,0,100,1,0\np7:0,c5\nt1:p7\n";
    ASSERT_EQ(syna_get(second), 0);  // no syna_init in between
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(rows_since_note(1), 10000000);
    render_frames(ROW + 1);
    EXPECT_EQ(voice[1].ti, 0);
    EXPECT_EQ(voice[1].pi, 1);
    EXPECT_EQ(rows_since_note(1), 0);
}

}  // namespace
