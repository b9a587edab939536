// The embedded song: its structure, its timing, and the mixer against a plain reference loop.
#include <gtest/gtest.h>
#include <math.h>

#include <set>

#include "test_synth_helpers.h"

namespace {

const int ROW = 5292;

// One event per row of track j's list (a "vol" or "sld" row gives its code).
std::vector<int> rows_of(int j)
{
    std::vector<int> rows;
    for (int e = 0; song.trak[j][e] != EV_END; e++) {
        const int *slot = song.ptn[song.trak[j][e]];
        for (int s = 0; slot[s] != EV_END; s++) {
            rows.push_back(slot[s]);
            if (slot[s] == EV_VOL || slot[s] == EV_SLD)
                s++;
        }
    }
    return rows;
}

std::vector<int> pattern_rows(int p)
{
    std::vector<int> rows;
    for (int s = 0; song.ptn[p][s] != EV_END; s++) {
        rows.push_back(song.ptn[p][s]);
        if (song.ptn[p][s] == EV_VOL || song.ptn[p][s] == EV_SLD)
            s++;
    }
    return rows;
}

TEST(SynthSong, Structure)
{
    ASSERT_EQ(parse_embedded_song(), 0) << syna_error_line() << ": " << syna_error();
    EXPECT_EQ(song.bpm, 125);
    EXPECT_EQ(song.tracks, 18);
    const int length[19] = {0,   1024, 1024, 1024, 1088, 1088, 768, 768, 1152, 1088,
                            1088, 896, 896,  896,  1024, 1024, 1024, 896, 896};
    for (int j = 1; j <= 18; j++)
        EXPECT_EQ(track_rows(j, nullptr), length[j]) << "track " << j;
    EXPECT_EQ(song.trak[19][0], EV_END);

    const int pattern_length[38] = {0,  64, 64, 64, 64, 32, 64, 16, 16, 16, 16, 16, 16,
                                    64, 64, 64, 64, 32, 32, 32, 32, 32, 32, 32, 32, 32,
                                    32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32, 32};
    for (int p = 1; p <= 37; p++)
        EXPECT_EQ(pattern_rows(p).size(), (size_t)pattern_length[p]) << "p" << p;
    for (int v : pattern_rows(16))
        EXPECT_EQ(v, 0);

    // Track 3, the kick: a3 in rows 0, 7 and 10 of every 16, resting in rows 0-127 and 640-767.
    std::vector<int> kick = rows_of(3);
    for (int r = 0; r < 1024; r++) {
        bool rest = r < 128 || (r >= 640 && r < 768);
        bool on = !rest && (r % 16 == 0 || r % 16 == 7 || r % 16 == 10);
        ASSERT_EQ(kick[r], on ? 220 : 0) << "row " << r;
    }

    // Track 4, the snare: c3 on 2 and 4; from row 96 every second bar pair is a fill.
    std::vector<int> snare = rows_of(4);
    for (int block = 0; block < 34; block++) {
        std::set<int> notes_at;
        for (int r = 0; r < 32; r++)
            if (snare[32 * block + r] > 0)
                notes_at.insert(r);
        bool fill = block >= 3 && block % 2 == 1;
        if (!fill) {
            EXPECT_EQ(notes_at, (std::set<int>{4, 12, 20, 28})) << "block " << block;
            EXPECT_EQ(snare[32 * block + 2], EV_ECHO1) << "block " << block;
        } else {
            EXPECT_TRUE(notes_at == (std::set<int>{4, 12, 20, 28, 30, 31}) ||
                        notes_at == (std::set<int>{4, 12, 20, 23, 28, 31}))
                << "block " << block;
        }
        for (int r : {4, 12, 20, 28})
            EXPECT_EQ(snare[32 * block + r], 130) << "block " << block;
        for (int r : {3, 11, 19, 27})
            EXPECT_EQ(snare[32 * block + r], EV_VOL) << "block " << block;
    }
}

TEST(SynthSong, EndsOnTime)
{
    ASSERT_EQ(parse_embedded_song(), 0);
    render_frames(6091092);  // the last row, 1151, starts here
    render_frames(1);
    EXPECT_NE(voice[8].ti, -2);
    render_frames(6096384 - counter);
    EXPECT_EQ(beat.load(), 71);
    for (int j = 1; j <= 18; j++)
        EXPECT_EQ(voice[j].ti, j == 8 ? voice[8].ti : -2) << "track " << j;
    render_frames(1);
    EXPECT_EQ(beat.load(), 72);
    EXPECT_EQ(voice[8].ti, -2);  // every track has finished
    render_frames(6181056 - counter);
    EXPECT_EQ(beat.load(), 72);
    render_frames(1);
    EXPECT_EQ(beat.load(), 73);  // the show ends at its first frame
}

// The mixer as the plain loop it optimises: every division and every table read
// as written, with its own state and echo rings.
std::vector<int> reference_render(int frames)
{
    struct {
        int ti = -1, pi = 0, eko = 0;
        float off = -1, plus = 0, slide = 0, vol = 1, prev = 0;
    } v[SYNA_TRACKS];
    std::vector<std::vector<float>> ring(SYNA_TRACKS, std::vector<float>(song.ekolen));
    std::vector<int> out(2 * (size_t)frames);
    const int update = song.update, E = song.ekolen;
    for (int c = 0; c < frames; c++) {
        if (c == c / update * update && song.trak[1][0] != -2) {
            for (int j = 1; j < SYNA_TRACKS && song.trak[j][0] != -2; j++) {
                auto &t = v[j];
                if (t.ti == -2)
                    continue;
                t.pi++;
                if (t.ti == -1 || song.ptn[song.trak[j][t.ti]][t.pi] == -2) {
                    t.ti++;
                    if (song.trak[j][t.ti] == -3)
                        t.ti = 0;
                    if (song.trak[j][t.ti] == -2)
                        t.ti = -2;
                    t.pi = 0;
                }
                if (t.ti == -2)
                    continue;
                int ev = song.ptn[song.trak[j][t.ti]][t.pi];
                if (ev == -4) t.eko = 1;
                else if (ev == -5) t.eko = 0;
                else if (ev == -6) t.off = -1.0f;
                else if (ev == -7) t.vol = (float)(song.ptn[song.trak[j][t.ti]][++t.pi] * 0.01);
                else if (ev == -8) t.slide = (float)(song.ptn[song.trak[j][t.ti]][++t.pi] * 0.00001);
                else if (ev != 0) {
                    t.off = 0.0f;
                    t.plus = (float)ev * 0.0038167939f;
                }
            }
        }
        float left = 0, right = 0;
        for (int j = 1; j < SYNA_TRACKS && song.trak[1][0] != -2 && song.trak[j][0] != -2; j++) {
            auto &t = v[j];
            float o = ring[j][(c + 1) % E];
            ring[j][c % E] = (float)(o * 0.6);
            float x;
            if (t.off >= 0) {
                x = o + song.instr[j][(int)t.off];
                if (t.eko)
                    ring[j][c % E] = (float)(x * 0.2);
                t.off = t.off + t.plus;
                t.plus = t.plus + t.slide;
                if (t.off >= (float)song.len[j] || t.off < 0)
                    t.off = -1.0f;
            } else {
                x = o;
            }
            if (song.pola[j] != 0)
                x = x * (1 - song.pola[j]) + t.prev * song.pola[j];
            t.prev = x;
            float y = x * t.vol;
            left = left + song.pan[j] * y;
            right = right + (1 - song.pan[j]) * y;
        }
        double l = left, r = right;
        if (l > 3.0) l = 3.0;
        if (l < -3.0) l = -3.0;
        if (r > 3.0) r = 3.0;
        if (r < -3.0) r = -3.0;
        out[2 * (size_t)c] = (short)(int)(l * 10922.0);
        out[2 * (size_t)c + 1] = (short)(int)(r * 10922.0);
    }
    return out;
}

// Renders `frames` frames through syna_play in odd-sized calls and compares them
// with the reference loop; the song must be freshly parsed.
void expect_reference_output(int frames)
{
    std::vector<int> expect = reference_render(frames);
    std::vector<int> got;
    got.reserve(expect.size());
    const int sizes[] = {1, 1024, 7, 4093, 5292, 333, 2};  // odd calls cross rows anywhere
    for (int i = 0; (int)got.size() < 2 * frames; i++) {
        int n = std::min(sizes[i % 7], frames - (int)got.size() / 2);
        std::vector<int> part = render_frames(n);
        got.insert(got.end(), part.begin(), part.end());
    }
    long differ = 0, nonzero = 0;
    for (size_t i = 0; i < expect.size(); i++) {
        if (got[i] != expect[i] && differ++ < 5)
            ADD_FAILURE() << "frame " << i / 2 << " channel " << i % 2 << ": " << got[i]
                          << " != " << expect[i];
        nonzero += expect[i] != 0;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(nonzero, (long)expect.size() / 4);  // it is music, not silence
}

TEST(SynthSong, MixerMatchesThePlainLoopBitForBit)
{
    ASSERT_EQ(parse_embedded_song(), 0);
    expect_reference_output(6181056 + 4000);  // the whole song and the show's end
}

// What the embedded song does not use: slides both ways, echo0, loops, a pattern
// that ends while a slide runs, volumes above 100 and below 0, unfiltered tracks.
TEST(SynthSong, MixerMatchesThePlainLoopOnEveryCommand)
{
    ASSERT_EQ(parse_song("bpm:143\n"
                         "i1:saha,20,40,900,3000,0,0,30\n"
                         "i2:kantti,1,3,200,9000,250,-40,80,60\n"
                         "i3:kohina,1,2,50,700,0,500,50,100\n"
                         "i4:sini,300,0,0,30000,700,20,0,0\n"
                         "p1:echo1,c4,sld,30,0,e4,0,sld,-45,g4,0,0,sld,0,echo0,c5,stop,0\n"
                         "p2:vol,150,a2,0,a3,vol,-80,e3,0,0,echo1,a1\n"
                         "p3:c6,0,0,c6,c6,0,echo1,c6\n"
                         "p4:a4,0,0,0,0,0,0,0,sld,-900,0,0,0,0,0\n"
                         "t1:p1,p1,loop\nt2:p2,p1,p2\nt3:p3,loop\nt4:p4,p4\n"), 0)
        << syna_error();
    expect_reference_output(120 * 4626 + 777);
}

}  // namespace
