// Wave tables, note table and the pre-rendered instrument notes.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "test_synth_helpers.h"

namespace {

TEST(SynthRender, WaveAndNoteTables)
{
    syna_init(44100);
    ASSERT_EQ(waves.slen, 168);
    for (int j = 0; j < 168; j++)
        ASSERT_EQ(waves.aalto[0][j], j < 84 ? -1.0f : 1.0f) << j;
    EXPECT_EQ(waves.aalto[2][0], 0.0f);
    EXPECT_EQ(waves.aalto[2][84], -1.0f);
    EXPECT_EQ(waves.aalto[2][42], 0.5f);
    EXPECT_EQ(waves.aalto[1][0], 0.0f);
    EXPECT_EQ(waves.aalto[1][42], 1.0f);
    EXPECT_EQ(waves.aalto[1][126], -1.0f);
    for (int j = 0; j < 44100; j++) {  // (r mod 2000 - 1000) * 0.001
        float v = waves.aalto[3][j];
        long i = lroundf(v * 1000);
        ASSERT_TRUE(i >= -1000 && i <= 999) << j;
        ASSERT_EQ(v, (float)i * 0.001f) << j;
    }

    struct { const char *name; int hz; } cases[] = {
        {"c1", 32}, {"C1", 34}, {"b1", 61}, {"a3", 220}, {"a4", 440}, {"c5", 523},
        {"a5", 880}, {"b5", 988}, {"c6", 1047}, {"b6", 1976},
    };
    for (auto &c : cases) {
        int i = 0;
        while (strcmp(notes[i], c.name) != 0)
            i++;
        EXPECT_EQ(notei[i], c.hz) << c.name;
    }
    EXPECT_EQ(notei[72], EV_ECHO1);
    EXPECT_EQ(notei[76], EV_SLD);
    EXPECT_STREQ(notes[77], "0");
}

// With the square wave the level shows directly: entry k is level * table[k % 168].
TEST(SynthRender, EnvelopeOfInstrumentOne)
{
    ASSERT_EQ(parse_song("bpm:125\ni1:kantti,1,5,30,4000,0,0,50,99\n"), 0);
    ASSERT_EQ(song.len[1], 4037);
    const float *s = song.instr[1];
    auto level = [&](int k) { return s[k] / waves.aalto[0][k % 168]; };
    EXPECT_EQ(s[0], 0.0f);
    const float decay[5] = {1, 0, -1, -2, -3};
    for (int k = 1; k <= 5; k++)
        EXPECT_FLOAT_EQ(level(k), decay[k - 1]) << k;
    for (int k = 6; k < 36; k++)
        ASSERT_FLOAT_EQ(level(k), -4.0f) << k;
    for (int k = 37; k < 4036; k++) {  // a straight line back to 0
        ASSERT_NEAR(level(k), -4.0f + 4.0f * (k - 36) / 4000, 5e-4) << k;  // float steps
        ASSERT_GT(level(k), level(k - 1)) << k;
    }
    EXPECT_EQ(s[4036], 0.0f);
}

TEST(SynthRender, LongSlowInstrument)
{
    ASSERT_EQ(parse_song("bpm:125\ni9:kantti,100000,2,0,800000,0,0,1,90\n"), 0);
    ASSERT_EQ(song.len[9], 900003);
    const float *s = song.instr[9];
    EXPECT_NEAR(fabsf(s[100000]), 1.0f, 1e-3);
    EXPECT_NEAR(fabsf(s[100002]), 1.0f - 2.0f / 100000, 1e-3);
    EXPECT_NEAR(fabsf(s[500002]), 0.5f, 1e-3);
    EXPECT_EQ(s[900002], 0.0f);
}

TEST(SynthRender, ZeroStagesModulationNoiseAndSweeps)
{
    // Attack 0 renders like attack 1 and release 0 like release 1 (len counts as written).
    ASSERT_EQ(parse_song("bpm:125\ni1:saha,0,3,7,20,0\ni2:saha,1,3,7,20,0\n"
                         "i3:saha,1,3,7,0,0\ni4:saha,1,3,7,1,0\n"), 0);
    EXPECT_EQ(song.len[1], 31);
    for (int k = 0; k < 31; k++)
        ASSERT_EQ(song.instr[1][k], song.instr[2][k]) << k;
    for (int k = 0; k < 12; k++)
        ASSERT_EQ(song.instr[3][k], song.instr[4][k]) << k;

    // Modulation 0 leaves the wave as it is; modulation m multiplies by sin of the phase.
    ASSERT_EQ(parse_song("bpm:125\ni1:sini,1,0,500,1,0\ni2:sini,1,0,500,1,100\n"), 0);
    const float inc = (float)(100 * 0.01 * 2 * 3.141592653589793 / 168);
    float a = 0;
    for (int k = 0; k < 500; k++) {
        float level = k ? 1.0f : 0.0f;
        ASSERT_EQ(song.instr[1][k], level * waves.aalto[1][k % 168]) << k;
        ASSERT_EQ(song.instr[2][k], (float)(level * waves.aalto[1][k % 168] * sin((double)a))) << k;
        a = a + inc;
    }

    // Noise runs through its one-second table and wraps at the rate, not at 168.
    ASSERT_EQ(parse_song("bpm:125\ni1:kohina,1,0,50000,1,0\n"), 0);
    for (int k : {1, 168, 44099, 44100, 44101, 50000})
        EXPECT_EQ(song.instr[1][k], waves.aalto[3][k % 44100]) << k;

    // A falling sweep that drives the position below 0 keeps reading the repeating wave.
    ASSERT_EQ(parse_song("bpm:125\ni1:saha,1,0,30000,1,0,-3000\ni2:saha,1,0,30000,1,0,90000\n"), 0);
    for (int j = 1; j <= 2; j++)
        for (int k = 0; k < song.len[j]; k++)
            ASSERT_TRUE(song.instr[j][k] >= -1.0f && song.instr[j][k] <= 1.0f) << j << " " << k;
}

TEST(SynthRender, EmbeddedSongInstruments)
{
    ASSERT_EQ(parse_embedded_song(), 0) << syna_error();
    long total = 0;
    for (int n = 1; n <= 19; n++) {
        ASSERT_NE(song.instr[n], nullptr) << n;
        EXPECT_EQ(song.instr[n][0], 0.0f) << n;
        EXPECT_EQ(song.instr[n][song.len[n] - 1], 0.0f) << n;
        total += song.len[n];
    }
    EXPECT_EQ(song.len[9], 900003);
    EXPECT_EQ(song.len[10], 900003);
    EXPECT_EQ(total, 3450869);
}

}  // namespace
