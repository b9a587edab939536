// Model dumps: the bytes written, the fixed-point scale, list order through a dump, and the reader's refusals.
#include <gtest/gtest.h>

#include <stdio.h>

#include "model_fixture.h"
#include "models/dump.h"

namespace {

const char one_red[] = "newmtl red\nKa 0 0 0\nKd 1 0 0\nKs 1 1 1\nNs 100\nd 1\n";

std::vector<unsigned char> dump_bytes(const scene &s, const char *name)
{
    std::string path = temp_path(name);
    EXPECT_EQ(dump_scene(&s, path.c_str()), 0);
    return read_file(path);
}

std::vector<std::vector<int>> face_lists(const scene &s)
{
    std::vector<std::vector<int>> out;
    for (const object *o = s.objects; o; o = o->next)
        for (const group *g = o->groups; g; g = g->next) {
            std::vector<int> ids;
            for (const face *f = g->faces; f; f = f->next)
                ids.push_back(f->vi[0] * 100 + f->vi[1] * 10 + f->vi[2]);
            out.push_back(ids);
        }
    return out;
}

}  // namespace

TEST(Dump, SmallSceneByteForByte)
{
    scene s = {};
    ASSERT_EQ(import_text(&s, "v 1.5 -2 0.25\nv 0 0 1\nv 1 0 0\nvn 0 1 0\nmtllib x\no box\n"
                              "g box_red\nusemtl red\nf 1//1 2//1 3//1\n", one_red), 0);
    const std::vector<unsigned char> expect = {
        0xAA, 0x2A,              // scale 10922 = trunc(32767 / (2 + 1))
        3, 0, 0, 0,              // vertices, each x y z
        0xFF, 0x3F, 0xAC, 0xAA, 0xAA, 0x0A,  // 16383, -21844, 2730 (2730.5 truncated)
        0, 0, 0, 0, 0xAA, 0x2A,
        0xAA, 0x2A, 0, 0, 0, 0,
        1, 0, 0, 0,              // normals
        0, 0, 0xAA, 0x2A, 0, 0,
        'm', 'r', 'e', 'd', 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                          // ambient 0 0 0
        0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0,                    // diffuse 1 0 0
        0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F,        // specular 1 1 1
        0, 0, 0x80, 0x3F,        // d 1
        0, 0, 0xC8, 0x42,        // ns 100
        'o', 'b', 'o', 'x', 0,
        'g', 'b', 'o', 'x', '_', 'r', 'e', 'd', 0, 'r', 'e', 'd', 0,
        1, 0,                    // one face
        3, 0, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0,
        'q',
    };
    EXPECT_EQ(dump_bytes(s, "small.dump"), expect);
    delete_scene(&s);
}

TEST(Dump, ScaleAndTruncationTowardZero)
{
    const struct {
        const char *obj;
        unsigned scale;
        std::vector<int> stored;  // the three coordinates of the first vertex
        float decoded_y;
    } cases[] = {
        {"v 32766 -5.7 0\n", 1, {32766, -5, 0}, -5.0f},
        {"v -32766 5.7 0\n", 1, {-32766, 5, 0}, 5.0f},
        {"v 0.5 -0.5 0.25\n", 21844, {10922, -10922, 5461}, -0.5f},
        {"v 0 0 0\n", 32767, {0, 0, 0}, 0.0f},
    };
    for (const auto &c : cases) {
        scene s = {};
        ASSERT_EQ(import_text(&s, c.obj, ""), 0);
        auto b = dump_bytes(s, "scale.dump");
        ASSERT_GE(b.size(), 12u);
        EXPECT_EQ(b[0] | b[1] << 8, (int)c.scale) << c.obj;
        for (int k = 0; k < 3; k++)
            EXPECT_EQ((int16_t)(b[6 + 2 * k] | b[7 + 2 * k] << 8), c.stored[k]) << c.obj;
        scene back = {};
        ASSERT_EQ(get_dump(&back, b.data(), b.size()), 0);
        EXPECT_FLOAT_EQ(back.verts[1], c.decoded_y) << c.obj;
        delete_scene(&s);
        delete_scene(&back);
    }
}

TEST(Dump, EmptySceneAndRefusedScenes)
{
    scene s = {};
    ASSERT_EQ(import_text(&s, "", ""), 0);
    const std::vector<unsigned char> empty = {0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 'q'};
    EXPECT_EQ(dump_bytes(s, "empty.dump"), empty);
    delete_scene(&s);

    // Out of the format's range: refused, and no file is left behind.
    std::string path = temp_path("refused.dump");
    remove(path.c_str());
    EXPECT_EQ(dump_scene(nullptr, path.c_str()), -1);
    ASSERT_EQ(import_text(&s, "v 40000 0 0\n", ""), 0);
    load_error err = {};
    EXPECT_EQ(dump_scene(&s, path.c_str(), &err), -1);
    EXPECT_NE(strstr(err.what, "too large"), nullptr) << err.what;
    EXPECT_EQ(fopen(path.c_str(), "rb"), nullptr);
    EXPECT_EQ(dump_scene(&s, "/nonexistent-dir/x.dump"), -1);
    delete_scene(&s);

    // A face of 256 corners does not fit its count byte.
    std::string big = "v 0 0 0\nv 1 0 0\nvn 0 0 1\nmtllib m\no a\ng a\nusemtl red\nf";
    for (int k = 0; k < 256; k++)
        big += k % 2 ? " 2//1" : " 1//1";
    ASSERT_EQ(import_text(&s, big + "\n", "newmtl red\n"), 0);
    EXPECT_EQ(dump_scene(&s, path.c_str(), &err), -1);
    EXPECT_NE(strstr(err.what, "256 corners"), nullptr) << err.what;
    EXPECT_EQ(fopen(path.c_str(), "rb"), nullptr);
    delete_scene(&s);
}

TEST(Dump, EveryListComesBackReversedAndTwiceRestoresTheBytes)
{
    scene s = {};
    ASSERT_EQ(import_text(&s,
                          "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0.3 0.7 0.1\nvn 0 0 1\nmtllib x\n"
                          "o first\ng first_red\nusemtl red\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\n"
                          "g first_white\nusemtl white\nf 2//1 3//1 4//1\n"
                          "o second\ng second_red\nusemtl red\nf 1//1 2//1 4//1\n",
                          fixture_mtl()),
              0);
    auto first = dump_bytes(s, "order1.dump");
    scene once = {};
    ASSERT_EQ(get_dump(&once, first.data(), first.size()), 0);
    EXPECT_EQ(object_names(s), (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(object_names(once), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(material_names(once), (std::vector<std::string>{"red", "white"}));
    EXPECT_EQ(face_lists(s), (std::vector<std::vector<int>>{{13}, {123}, {23, 12}}));
    EXPECT_EQ(face_lists(once), (std::vector<std::vector<int>>{{12, 23}, {123}, {13}}));

    auto second = dump_bytes(once, "order2.dump");
    scene twice = {};
    ASSERT_EQ(get_dump(&twice, second.data(), second.size()), 0);
    EXPECT_EQ(face_lists(twice), face_lists(s));
    EXPECT_EQ(dump_bytes(twice, "order3.dump"), first);
    delete_scene(&s);
    delete_scene(&once);
    delete_scene(&twice);
}

TEST(Dump, StrayBytesArePassedOverAndTheFirstOfTwoMaterialsWins)
{
    bytes b;
    b.coordinates().material("red", 0.25f).u8('x').material("red", 0.75f).u8(0xff);
    b.u8('o').str("box").triangle_group("box_red", "red").u8('q').u8('m');  // nothing after q is read
    scene s = {};
    ASSERT_EQ(get_dump(&s, b.b.data(), b.b.size()), 0);
    ASSERT_NE(s.objects, nullptr);
    EXPECT_EQ(s.objects->groups->material->ambient[0], 0.25f);
    EXPECT_EQ(s.objects->groups->material->ambient[3], 1.0f);
    EXPECT_EQ(material_names(s).size(), 2u);
    delete_scene(&s);
}

TEST(Dump, ReaderRefusesBrokenDataAndLeavesTheSceneAlone)
{
    auto valid = [] {
        bytes b;
        b.coordinates().material("red").u8('o').str("box").triangle_group("box_red", "red");
        return b;
    };
    auto nine_lights = valid();
    for (int i = 0; i < 9; i++)
        nine_lights.u8('o').str("point").triangle_group("g", "red");
    auto bad_vertex = valid();
    bad_vertex.u8('g').str("g").str("red").u16(1).u8(3).u16(0).u16(3).u16(1).u16(0).u16(0).u16(0);
    auto bad_normal = valid();
    bad_normal.u8('g').str("g").str("red").u16(1).u8(3).u16(0).u16(1).u16(2).u16(0).u16(9).u16(0);
    auto two_corners = valid();
    two_corners.u8('g').str("g").str("red").u16(1).u8(2).u16(0).u16(1).u16(0).u16(1);
    const struct {
        const char *what;
        bytes data;
        long offset;
        const char *message;
    } cases[] = {
        {"no end record", valid(), 128, "end record"},
        {"unknown material", valid().triangle_group("g", "blue").u8('q'), 131, "blue"},
        {"group before object", bytes().coordinates().material("red").triangle_group("g", "red").u8('q'),
         95, "before any object"},
        {"vertex index", bad_vertex.u8('q'), 140, "vertex index"},
        {"normal index", bad_normal.u8('q'), 146, "normal index"},
        {"face of two corners", two_corners.u8('q'), 137, "three corners"},
        {"nine lights", nine_lights.u8('q'), 360, "eight"},
        {"pivot without marker", valid().u8('o').str("pivot_arm").u8('q'), 128, "marker"},
        {"light without geometry", valid().u8('o').str("point1").u8('g').str("g").str("red").u16(0).u8('q'),
         128, "light"},
        {"scale 0", bytes().u16(0).u32(0).u32(0).u8('q'), 0, "scale"},
        {"vertex count past the end", bytes().u16(1).u32(0x10000000).u8('q'), 2, "vertex count"},
        {"name without its NUL", bytes().coordinates().u8('o').u8('a'), 47, "name"},
    };
    for (const auto &c : cases) {
        scene s = sentinel_scene();
        load_error err = {};
        EXPECT_EQ(get_dump(&s, c.data.b.data(), c.data.b.size(), &err), -1) << c.what;
        EXPECT_EQ(s.nverts, -77) << c.what;
        EXPECT_EQ(err.where, c.offset) << c.what << ": " << err.what;
        EXPECT_NE(strstr(err.what, c.message), nullptr) << c.what << ": " << err.what;
    }

    // Every cut of a whole dump is refused.
    auto whole = valid().u8('q').b;
    for (size_t n = 0; n < whole.size(); n++) {
        scene s = sentinel_scene();
        EXPECT_EQ(get_dump(&s, whole.data(), n), -1) << n << " bytes";
        EXPECT_EQ(s.nverts, -77);
    }
    scene s = {};
    EXPECT_EQ(get_dump(&s, whole.data(), whole.size()), 0);
    delete_scene(&s);
}

TEST(Dump, LoadDumpReadsAFileAndReportsAMissingOne)
{
    scene s = sentinel_scene();
    load_error err = {};
    EXPECT_EQ(load_dump(&s, "/nonexistent/model.dump", &err), -1);
    EXPECT_EQ(s.nverts, -77);
    auto b = bytes().coordinates().material("red").u8('o').str("box").triangle_group("g", "red").u8('q').b;
    std::string path = temp_path("file.dump");
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(b.data(), 1, b.size(), f);
    fclose(f);
    ASSERT_EQ(load_dump(&s, path.c_str()), 0);
    EXPECT_EQ(s.nverts, 3);
    EXPECT_FLOAT_EQ(s.verts[4], 0.4f);  // 40 / scale 100
    delete_scene(&s);
}
