// The song text parser: what each kind of line stores, and every song it refuses.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "test_synth_helpers.h"

namespace {

const std::string head = "bpm:125\ni1:kantti,1,0,3,1,0\n";

// The first `count` slots of a pattern or entries of a track list.
std::vector<int> first(const int *table, size_t count)
{
    return std::vector<int>(table, table + count);
}

struct slots_case {
    const char *name;
    std::string text;
    int pattern;
    std::vector<int> expect;
};

const slots_case pattern_cases[] = {
    {"notes and empty rows", head + "p1:c5,0,a4,,c1,b6", 1, {523, 0, 440, 32, 1976, -2}},
    {"vol is two slots, one row", head + "p1:vol,20,c5", 1, {-7, 20, 523, -2}},
    {"echo1 then the note", head + "p1:echo1,c5", 1, {-4, 523, -2}},
    {"all commands", head + "p1:echo1,echo0,stop,vol,-5,sld,300", 1, {-4, -5, -6, -7, -5, -8, 300, -2}},
    {"the argument is any integer", head + "p1:vol,c5,sld,\t5,vol,7x", 1, {-7, 0, -8, 5, -7, 7, -2}},
    {"spaces and CRs vanish", head + "p1: c 5 ,\r a4\r\n", 1, {523, 440, -2}},
    {"a tab is kept: no note", head + "p1:\ta5,a5", 1, {0, 880, -2}},
    {"names are case-sensitive", head + "p1:C5,c5,A4,Echo1", 1, {554, 523, 466, 0, -2}},
    {"unknown words are empty rows", head + "p1:zz,c7,0", 1, {0, 0, 0, -2}},
    {"no entries: an empty pattern", head + "p2:c5\np2:", 2, {-2}},
    {"a second line writes from the start", head + "p1:c5,d5,e5\np1:f5", 1, {698, -2, 659, -2}},
};

TEST(SynthParser, PatternSlots)
{
    for (const slots_case &c : pattern_cases) {
        ASSERT_EQ(parse_song(c.text), 0) << c.name << ": " << syna_error();
        EXPECT_EQ(first(song.ptn[c.pattern], c.expect.size()), c.expect) << c.name;
    }
    std::string full = head + "p1:";
    for (int i = 0; i < 97; i++)
        full += "c5,";
    full += "vol,20";  // slots 97 and 98; the terminator in 99
    ASSERT_EQ(parse_song(full), 0) << syna_error();
    EXPECT_EQ(song.ptn[1][98], 20);
    EXPECT_EQ(song.ptn[1][99], EV_END);
}

TEST(SynthParser, TrackLists)
{
    const std::string pats = head + "p0:c5\np12:c5\n";
    struct {
        std::string text;
        std::vector<int> expect;
    } cases[] = {
        {pats + "t1:p12,p0,loop", {12, 0, -3, -2}},
        {pats + "t1:x12", {12, -2}},             // any first character
        {pats + "t1:loops", {0, -2}},            // not "loop": pattern "oops" = 0
        {pats + "t1:p12,,p0,", {12, 0, -2}},     // empty entries skipped
        {pats + "t1:p12,p12,p12\nt1:p0", {0, -2, 12, -2}},
    };
    for (auto &c : cases) {
        ASSERT_EQ(parse_song(c.text), 0) << c.text << ": " << syna_error();
        EXPECT_EQ(first(song.trak[1], c.expect.size()), c.expect) << c.text;
    }
}

TEST(SynthParser, TempoInstrumentsAndLines)
{
    ASSERT_EQ(parse_song("\n\r\n# a comment\nbpm:125:9\nxyz:1\n"), 0) << syna_error();
    EXPECT_EQ(song.update, 5292);
    EXPECT_EQ(song.ekolen, 15876);
    EXPECT_EQ(song.tracks, 0);

    ASSERT_EQ(parse_song("bpm:3"), 0);
    EXPECT_EQ(song.update, 264600);  // 44100 * 6 / (30 / 25)

    // CR LF and LF read alike; pan and filter keep their defaults when absent.
    ASSERT_EQ(parse_song("bpm:125\r\ni2:saha,1,2,3,4,0\r\ni3:saha,1,2,3,4,0,0,30\r\n"
                         "i4:saha, 1, 2, 3, 4, 0, 0, 20, 40, 99, 99\r\n"), 0) << syna_error();
    EXPECT_EQ(song.len[2], 11);
    EXPECT_FLOAT_EQ(song.pan[2], 0.75f);
    EXPECT_FLOAT_EQ(song.pan[3], 0.3f);
    EXPECT_FLOAT_EQ(song.pola[3], 0.0f);
    EXPECT_FLOAT_EQ(song.pan[4], 0.2f);
    EXPECT_FLOAT_EQ(song.pola[4], 0.4f);
    EXPECT_EQ(song.pan[5], 0.25f);
    ASSERT_NE(song.echo[2], nullptr);

    // An unknown wave word after the first line keeps the previous line's wave.
    ASSERT_EQ(parse_song("bpm:125\ni1:sini,1,0,400,1,0\ni2:zz,1,0,400,1,0\n"), 0);
    for (int k = 0; k < song.len[1]; k++)
        ASSERT_EQ(song.instr[1][k], song.instr[2][k]) << k;
}

TEST(SynthParser, OnlyTheFirst1000LinesAreRead)
{
    std::string text = "bpm:125\n";
    for (int i = 0; i < 998; i++)
        text += "#\n\n";  // empty lines do not count
    std::string bad = "p1:vol\n";
    EXPECT_EQ(parse_song(text + bad), -1);  // line 1000 is read
    EXPECT_EQ(syna_error_line(), 1 + 2 * 998 + 1);
    EXPECT_EQ(parse_song(text + "#\n" + bad), 0);  // line 1001 is not
}

struct refused {
    std::string text;
    int line;
    const char *reason;  // part of the message
};

TEST(SynthParser, RefusesWhatItCannotPlay)
{
    std::string p98 = "p1:";
    for (int i = 0; i < 98; i++)
        p98 += "c5,";
    std::string t100 = "t1:";
    for (int i = 0; i < 100; i++)
        t100 += "p1,";
    const std::string ok = "p1:c5\nt1:p1\n";
    const refused cases[] = {
        {"", 0, "no tempo line"},
        {"# only a comment\ni9:", 2, "before the tempo"},
        {"bpm:", 1, "without a tempo"},
        {"bpm:2", 1, "outside 3..10000"},
        {"bpm:10001", 1, "outside 3..10000"},
        {"bpm:99999999999", 1, "too large"},
        {head + "bpm:120", 3, "after an instrument"},
        {"bpm:125\ni30:saha,1,1,1,1,0", 2, "instrument number 30"},
        {"bpm:125\ni-1:saha,1,1,1,1,0", 2, "instrument number -1"},
        {"bpm:125\ni1:saha,1,1,1,1", 2, "has 5 entries"},
        {"bpm:125\ni1:sawtooth,1,1,1,1,0", 2, "unknown wave 'sawtooth'"},
        {"bpm:125\ni1:saha,-1,1,1,1,0", 2, "negative"},
        {"bpm:125\ni1:saha,1,1,1,-5,0", 2, "negative"},
        {"bpm:125\ni1:saha,0,1,1,0,0", 2, "both 0"},
        {"bpm:125\ni1:saha,4194304,0,0,1,0", 2, "at most 4194304"},
        {"bpm:125\ni1:saha,1,1,1,1,0,0,101", 2, "pan 101"},
        {"bpm:125\ni1:saha,1,1,1,1,0,0,50,-1", 2, "filter -1"},
        {"bpm:125\ni1:saha,1,1,1,1,2147483648", 2, "too large"},
        {head + "p1000:c5", 3, "pattern number 1000"},
        {head + p98 + "c5,c5", 3, "more than 99 slots"},
        {head + p98 + "vol,20", 3, "more than 99 slots"},
        {head + "p1:c5,vol", 3, "'vol' without an argument"},
        {head + "p1:sld", 3, "'sld' without an argument"},
        {head + "p1:c5\n" + t100, 4, "more than 99 entries"},
        {head + "t30:p1", 3, "track number 30"},
        {head + "p1:c5\nt1:p1000", 4, "outside 0..999"},
        {head + "p1:c5\nt1:loop,p1", 4, "starts with 'loop'"},
        {head + "p1:c5\nt1:p1,p2\n", 4, "pattern 2, which no line defines"},
        {head + "p1:c5\np2:\nt1:p1\nt2:p2\n", 6, "pattern 2, which is empty"},
        {head + ok + "p3:c5\nt2:p3\n", 6, "no instrument line i2"},
        {head + ok + "t3:p9\n", 5, "pattern 9"},  // also for a track that is never scanned
    };
    for (const refused &c : cases) {
        EXPECT_EQ(parse_song(c.text), -1) << c.text;
        EXPECT_EQ(syna_error_line(), c.line) << c.text;
        EXPECT_NE(std::string(syna_error()).find(c.reason), std::string::npos)
            << c.text << "\n  said: " << syna_error();
        EXPECT_EQ(song.tracks, 0) << "a refused song must stay silent";
    }
    // Tracks after the first without a list are never played: they need no instrument.
    EXPECT_EQ(parse_song(head + ok + "p3:c5\nt3:p3\n"), 0) << syna_error();
    EXPECT_EQ(song.tracks, 1);
}

TEST(SynthParser, LoadsFiles)
{
    char path[] = "/tmp/tavio-song-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    std::string text = head + "p1:c5\r\nt1:p1\r\n";
    ASSERT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);
    syna_init(44100);
    EXPECT_EQ(syna_load(path), 0) << syna_error();
    EXPECT_EQ(song.tracks, 1);
    unlink(path);
    EXPECT_EQ(syna_load(path), -1);
    EXPECT_NE(std::string(syna_error()).find("cannot open"), std::string::npos);
    EXPECT_EQ(syna_load("/tmp"), -1);
}

// Mutated songs: whatever the parser accepts must play without leaving its tables
// (run under the sanitizer build to see a stray read or write).
TEST(SynthParser, MutatedSongsParseOrFailCleanly)
{
    const std::string base =
        "bpm:125\ni1:saha,1,2,30,400,100,-50,30,40\ni2:kohina,0,5,10,3,0,900\n"
        "p1:c5,vol,20,echo1,sld,-3,d5,stop,a1\np2:b6,0,echo0,C3\nt1:p1,p2,loop\nt2:p2,p1\n";
    const char alphabet[] = "0123456789-,:\n\tpitvsx#";
    unsigned seed = 12345;
    auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 400; round++) {
        std::string t = base;
        for (int m = 1 + next() % 4; m > 0; m--) {
            size_t at = next() % t.size();
            switch (next() % 3) {
            case 0: t[at] = alphabet[next() % (sizeof alphabet - 1)]; break;
            case 1: t.erase(at, 1); break;
            default: t.insert(at, 1, alphabet[next() % (sizeof alphabet - 1)]); break;
            }
        }
        if (parse_song(t) == 0)
            render_frames(3 * 5292 + 7);
        else
            EXPECT_STRNE(syna_error(), "") << t;
    }
}

}  // namespace
