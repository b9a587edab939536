// Inputs the fuzz targets found or start from, replayed through the three readers:
// each is accepted or refused as its name says (NAME.ok or NAME.bad), never crashes,
// and an accepted song plays. Run under the sanitizers, a fault in a reader shows here.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "models/dump.h"
#include "models/obj.h"
#include "synth/synth.h"

namespace {

struct input {
    std::string name;
    std::vector<unsigned char> bytes;
};

std::vector<input> inputs_of(const std::string &format)
{
    std::vector<input> out;
    for (const char *kind : {"regressions", "seeds"}) {
        std::string dir = std::string(TAVIO_SOURCE_DIR) + "/tests/fuzz/" + kind + "/" + format;
        DIR *d = opendir(dir.c_str());
        if (!d)
            continue;
        while (dirent *e = readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            input in{std::string(kind) + "/" + e->d_name, {}};
            FILE *f = fopen((dir + "/" + e->d_name).c_str(), "rb");
            if (!f)
                continue;
            for (int c; (c = fgetc(f)) != EOF;)
                in.bytes.push_back((unsigned char)c);
            fclose(f);
            out.push_back(in);
        }
        closedir(d);
    }
    return out;
}

// 1 when the name ends in ".ok", 0 for ".bad", -1 when it makes no promise (seeds).
int expected(const std::string &name)
{
    auto ends = [&](const char *tail) {
        size_t n = strlen(tail);
        return name.size() >= n && name.compare(name.size() - n, n, tail) == 0;
    };
    return ends(".ok") ? 1 : ends(".bad") ? 0 : -1;
}

void check_outcome(const input &in, bool accepted, const char *why)
{
    int want = expected(in.name);
    if (want >= 0) {
        EXPECT_EQ(accepted, want == 1) << in.name << ": " << why;
    }
    if (!accepted) {
        EXPECT_NE(why[0], 0) << in.name << ": refused without a reason";
    }
}

}  // namespace

TEST(ReaderHardening, SongInputsParseOrAreRefusedAndAcceptedOnesPlay)
{
    auto inputs = inputs_of("song");
    ASSERT_FALSE(inputs.empty());
    for (const auto &in : inputs) {
        syna_init(44100);
        std::string text(in.bytes.begin(), in.bytes.end());
        bool accepted = syna_get(&text[0]) == 0;
        check_outcome(in, accepted, syna_error());
        if (accepted) {
            static short buffer[2 * 1024];
            for (int i = 0; i < 44; i++)  // about a second
                syna_play(buffer, 1024);
        }
    }
}

TEST(ReaderHardening, DumpInputsDecodeOrAreRefused)
{
    auto inputs = inputs_of("dump");
    ASSERT_FALSE(inputs.empty());
    for (const auto &in : inputs) {
        // An exact-size copy, so that a read past the data shows under the sanitizers.
        std::vector<unsigned char> data(in.bytes);
        scene s = {};
        load_error err = {};
        bool accepted = get_dump(&s, data.data(), data.size(), &err) == 0;
        check_outcome(in, accepted, err.what);
        delete_scene(&s);
    }
}

TEST(ReaderHardening, ObjInputsImportOrAreRefused)
{
    auto inputs = inputs_of("obj");
    ASSERT_FALSE(inputs.empty());
    for (const auto &in : inputs) {
        // The OBJ text, a NUL, the MTL text; without a NUL an empty library.
        std::string bytes(in.bytes.begin(), in.bytes.end());
        size_t nul = bytes.find('\0');
        std::string obj = bytes.substr(0, nul);
        std::string mtl = nul == std::string::npos ? "" : bytes.substr(nul + 1);
        scene s = {};
        load_error err = {};
        bool accepted = get_scene(&s, &obj[0], &mtl[0], nullptr, &err) == 0;
        check_outcome(in, accepted, err.what);
        delete_scene(&s);
    }
}
