// OBJ and MTL import: the subset read, its corner fields and materials, its refusals, and export back to text.
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include "model_fixture.h"
#include "models/dump.h"
#include "models/obj.h"

namespace {

const std::string fixture_dir = std::string(TAVIO_SOURCE_DIR) + "/tests/fixtures";

std::string one_triangle(const char *eol, const char *name = "box")
{
    std::string t = std::string("v 0 0 0") + eol + eol + "  v 1 0 0" + eol + "\tv 0 1 0" + eol +
                    "vn 0 0 1" + eol + "mtllib any.mtl" + eol + "o " + name + eol + "g " + name +
                    "_red" + eol + "usemtl red" + eol + "f 1//1 2//1 3//1" + eol;
    return t;
}

void write_text(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    fputs(text.c_str(), f);
    fclose(f);
}

}  // namespace

TEST(Obj, OneTriangleWithAnyLineEnds)
{
    for (const char *eol : {"\n", "\r\n", "\r"}) {
        std::string mtl = std::string("newmtl red") + eol + eol + "Kd 1 0 0" + eol;
        scene s = {};
        ASSERT_EQ(import_text(&s, one_triangle(eol), mtl), 0);
        ASSERT_EQ(object_names(s), std::vector<std::string>{"box"});
        EXPECT_EQ(s.nverts, 3);
        EXPECT_EQ(s.nnormals, 1);
        EXPECT_EQ(s.objects->type, OBJECT_PART);
        EXPECT_EQ(s.has_lights, 0);
        const group *g = s.objects->groups;
        ASSERT_TRUE(g && !g->next);
        EXPECT_STREQ(g->name, "box_red");
        EXPECT_STREQ(g->material->name, "red");
        EXPECT_EQ(g->material->diffuse[0], 1.0f);
        const face *f = g->faces;
        ASSERT_TRUE(f && !f->next);
        ASSERT_EQ(f->n, 3);
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(f->vi[k], k);
            EXPECT_EQ(f->ni[k], 0);
        }
        EXPECT_EQ(s.verts[3], 1.0f);
        delete_scene(&s);
    }
    scene s = {};
    ASSERT_EQ(import_text(&s, one_triangle("\n", "pointy"), "newmtl red\n"), 0);
    EXPECT_EQ(s.objects->type, OBJECT_LIGHT);
    EXPECT_EQ(s.has_lights, 1);
    delete_scene(&s);
}

TEST(Obj, CornerFieldsAndRelativeIndices)
{
    const struct {
        const char *corner;
        int vi, ni;
    } cases[] = {
        {"7/3/5", 6, 4}, {"7//5", 6, 4}, {"1/1/1", 0, 0}, {"-1//-1", 7, 5}, {"-8/2/-6", 0, 0},
    };
    std::string head;
    for (int i = 0; i < 8; i++)
        head += "v " + std::to_string(i) + " 0 0\n";
    for (int i = 0; i < 6; i++)
        head += "vn 0 0 1\n";
    head += "mtllib m\no a\ng a_red\nusemtl red\n";
    for (const auto &c : cases) {
        scene s = {};
        std::string obj = head + "f " + c.corner + " 1//1 2//2\n";
        ASSERT_EQ(import_text(&s, obj, "newmtl red\n"), 0) << c.corner;
        EXPECT_EQ(s.objects->groups->faces->vi[0], c.vi) << c.corner;
        EXPECT_EQ(s.objects->groups->faces->ni[0], c.ni) << c.corner;
        delete_scene(&s);
    }
}

TEST(Obj, KeywordsAreWholeWords)
{
    scene s = {};
    ASSERT_EQ(import_text(&s,
                          "vn 0 0 1\nvt 0.5 0.5\nvx 1 2 3\n#v 1 2 3\n# v 1 2 3\n#\nv 1 2 3 1\n"
                          "s off\nl 1 2\nvp 1\nV 1 2 3\n   \n",
                          ""),
              0);
    EXPECT_EQ(s.nverts, 1);
    EXPECT_EQ(s.nnormals, 1);
    EXPECT_EQ(s.verts[2], 3.0f);
    delete_scene(&s);
}

TEST(Obj, MaterialRules)
{
    scene s = {};
    char mtl[] = "newmtl red\r\nKa 0.1 0.2 0.3\r\nKd 1 0 0\r\nKs 0.5 0.5 0.5\r\nNs 100\r\nd 0.5\r\n"
                 "illum 2\r\nmap_Kd x.png\r\nnewmtl red\r\nKd 0 1 0\r\nnewmtl bare\r\n";
    ASSERT_EQ(get_mtl(&s, mtl), 0);
    EXPECT_EQ(material_names(s), (std::vector<std::string>{"bare", "red", "red"}));
    const material *first = s.materials->next->next;
    EXPECT_EQ(first->ambient[2], 0.3f);
    EXPECT_EQ(first->specular[0], 0.5f);
    EXPECT_EQ(first->ns, 100.0f);
    EXPECT_EQ(first->d, 0.5f);
    EXPECT_EQ(first->ambient[3], 1.0f);
    EXPECT_EQ(first->diffuse[3], 1.0f);
    EXPECT_EQ(material_named(&s, "red"), first);  // the first defined wins
    const material *bare = s.materials;  // unset values: OpenGL's material defaults
    EXPECT_EQ(bare->ambient[0], 0.2f);
    EXPECT_EQ(bare->diffuse[0], 0.8f);
    EXPECT_EQ(bare->specular[0], 0.0f);
    EXPECT_EQ(bare->d, 1.0f);
    delete_scene(&s);

    ASSERT_EQ(import_text(&s, one_triangle("\n"), "newmtl red\nKd 1 0 0\nnewmtl red\nKd 0 1 0\n"), 0);
    EXPECT_EQ(s.objects->groups->material->diffuse[0], 1.0f);
    delete_scene(&s);
}

TEST(Obj, RefusalsNameTheLineAndLeaveTheSceneAlone)
{
    const char *v3 = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nmtllib m\n";  // lines 1 to 5
    const struct {
        const char *what;
        std::string obj;
        long line;
        const char *message;
    } cases[] = {
        {"face before group", std::string(v3) + "o a\nf 1//1 2//1 3//1\n", 7, "before any group"},
        {"face before object", std::string(v3) + "f 1//1 2//1 3//1\n", 6, "before any object"},
        {"group before object", std::string(v3) + "g a_red\n", 6, "before any object"},
        {"usemtl before group", std::string(v3) + "o a\nusemtl red\n", 7, "before any group"},
        {"unknown material", std::string(v3) + "o a\ng a\nusemtl blue\n", 8, "'blue'"},
        {"group without material", std::string(v3) + "o a\ng a\nf 1//1 2//1 3//1\ng b\n", 7,
         "no material"},
        {"vertex index too big", std::string(v3) + "o a\ng a\nusemtl red\nf 1//1 2//1 4//1\n", 9,
         "vertex index"},
        {"vertex index 0", std::string(v3) + "o a\ng a\nusemtl red\nf 0//1 2//1 3//1\n", 9,
         "vertex index"},
        {"relative index before the first vertex", std::string(v3) + "o a\ng a\nusemtl red\nf -4//1 2//1 3//1\n",
         9, "vertex index"},
        {"normal index", std::string(v3) + "o a\ng a\nusemtl red\nf 1//2 2//1 3//1\n", 9, "normal index"},
        {"corner without normal", std::string(v3) + "o a\ng a\nusemtl red\nf 1 2 3\n", 9, "v//n"},
        {"corner v/t", std::string(v3) + "o a\ng a\nusemtl red\nf 1/1 2/1 3/1\n", 9, "v//n"},
        {"corner with nothing after the slash", std::string(v3) + "o a\ng a\nusemtl red\nf 1// 2//1 3//1\n",
         9, "v//n"},
        {"corner with letters", std::string(v3) + "o a\ng a\nusemtl red\nf 1//1 2//1x 3//1\n", 9, "v//n"},
        {"two corners", std::string(v3) + "o a\ng a\nusemtl red\nf 1//1 2//1\n", 9, "three corners"},
        {"v with two numbers", "v 0 0 0\nv 1 2\n", 2, "three numbers"},
        {"vn with a word", "vn 0 0 x\n", 1, "three numbers"},
        {"o without name", std::string(v3) + "o\n", 6, "without a name"},
        {"pivot without marker", std::string(v3) + "o pivot_a\no b\n", 6, "marker"},
        {"light without faces", std::string(v3) + "o point\ng p\nusemtl red\n", 6, "light"},
        {"nine lights", std::string(v3) + [] {
             std::string t;
             for (int i = 0; i < 9; i++)
                 t += "o point" + std::to_string(i) + "\ng p\nusemtl red\nf 1//1 2//1 3//1\n";
             return t;
         }(), 38, "eight"},
    };
    for (const auto &c : cases) {
        scene s = sentinel_scene();
        load_error err = {};
        EXPECT_EQ(import_text(&s, c.obj, "newmtl red\n", &err), -1) << c.what;
        EXPECT_EQ(s.nverts, -77) << c.what;
        EXPECT_EQ(err.where, c.line) << c.what << ": " << err.what;
        EXPECT_NE(strstr(err.what, c.message), nullptr) << c.what << ": " << err.what;
        EXPECT_EQ(err.in_library, 0) << c.what;
    }

    const struct {
        const char *what;
        const char *mtl;
        long line;
        const char *message;
    } mtl_cases[] = {
        {"colour before newmtl", "# x\nKd 1 0 0\n", 2, "before any newmtl"},
        {"two numbers", "newmtl red\r\nKa 1 0\r\n", 2, "three numbers"},
        {"Ns without number", "newmtl red\nNs\n", 2, "a number"},
        {"newmtl without name", "newmtl\n", 1, "without a material name"},
    };
    for (const auto &c : mtl_cases) {
        scene s = sentinel_scene();
        load_error err = {};
        EXPECT_EQ(import_text(&s, one_triangle("\n"), c.mtl, &err), -1) << c.what;
        EXPECT_EQ(s.nverts, -77) << c.what;
        EXPECT_EQ(err.where, c.line) << c.what << ": " << err.what;
        EXPECT_NE(strstr(err.what, c.message), nullptr) << c.what << ": " << err.what;
        EXPECT_EQ(err.in_library, 1) << c.what;
    }
}

TEST(Obj, LoadSceneFindsTheLibraryBesideTheObjFile)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir("/"), 0);  // "hinge.mtl" is not found as written from here
    scene s = {};
    int r = load_scene(&s, (fixture_dir + "/hinge.obj").c_str());
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_EQ(r, 0);
    EXPECT_EQ(object_names(s), (std::vector<std::string>{"arm", "point1", "pivot_arm"}));
    const object *arm = s.objects, *pivot = arm->next->next;
    EXPECT_EQ(arm->pivot, pivot);
    EXPECT_EQ(arm->next->pivot, nullptr);
    EXPECT_EQ(pivot->origin[0], 1.0f);
    EXPECT_EQ(pivot->origin[1], 0.0f);
    EXPECT_FLOAT_EQ(pivot->axis[0], 0.0f);
    EXPECT_FLOAT_EQ(pivot->axis[1], 2.0f);
    EXPECT_STREQ(arm->groups->material->name, "red");
    delete_scene(&s);

    // A missing file, a missing library.
    s = sentinel_scene();
    load_error err = {};
    EXPECT_EQ(load_scene(&s, "/nonexistent/model.obj", &err), -1);
    EXPECT_EQ(s.nverts, -77);
    std::string obj = temp_path("nolib.obj");
    write_text(obj, "v 0 0 0\nmtllib nowhere.mtl\n");
    EXPECT_EQ(load_scene(&s, obj.c_str(), &err), -1);
    EXPECT_EQ(s.nverts, -77);
    EXPECT_EQ(err.where, 2);
    EXPECT_NE(strstr(err.what, "nowhere.mtl"), nullptr) << err.what;

    // A fault inside a library file names that file.
    write_text(temp_path("badlib.mtl"), "newmtl a\nKd 1\n");
    write_text(obj, "mtllib test-badlib.mtl\n");
    EXPECT_EQ(load_scene(&s, obj.c_str(), &err), -1);
    EXPECT_EQ(err.where, 2);
    EXPECT_NE(strstr(err.file, "test-badlib.mtl"), nullptr) << err.file;
}

TEST(Obj, ExportOfADumpImportsToTheSameDump)
{
    scene s = {};
    ASSERT_EQ(load_scene(&s, (fixture_dir + "/hinge.obj").c_str()), 0);
    std::string d1 = temp_path("export1.dump"), d2 = temp_path("export2.dump");
    ASSERT_EQ(dump_scene(&s, d1.c_str()), 0);
    scene decoded = {};
    ASSERT_EQ(load_dump(&decoded, d1.c_str()), 0);
    std::string obj = temp_path("export.obj"), mtl = temp_path("export.mtl");
    ASSERT_EQ(export_obj(&decoded, obj.c_str(), mtl.c_str()), 0);
    scene back = {};
    load_error err = {};
    ASSERT_EQ(load_scene(&back, obj.c_str(), &err), 0) << err.where << ": " << err.what;
    EXPECT_EQ(object_names(back), object_names(s));
    EXPECT_EQ(material_names(back), material_names(s));
    ASSERT_EQ(dump_scene(&back, d2.c_str()), 0);
    EXPECT_EQ(read_file(d1), read_file(d2));
    delete_scene(&s);
    delete_scene(&decoded);
    delete_scene(&back);
}
