// Small scenes for the model tests: OBJ/MTL text imported from strings, and dump bytes built by hand.
#pragma once

#include <stdint.h>
#include <string.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "models/obj.h"
#include "models/scene.h"

// Imports OBJ text and MTL text held in strings (copied, since the import cuts them).
inline int import_text(scene *s, const std::string &obj, const std::string &mtl,
                       load_error *err = nullptr)
{
    std::vector<char> o(obj.begin(), obj.end()), m(mtl.begin(), mtl.end());
    o.push_back(0);
    m.push_back(0);
    return get_scene(s, o.data(), m.data(), nullptr, err);
}

// A material library with the three colours the fixtures use.
inline const char *fixture_mtl()
{
    return "newmtl red\nKa 0.1 0.1 0.1\nKd 1 0 0\nKs 1 1 1\nNs 100\nd 1\n"
           "newmtl white\nKa 1 1 1\nKd 1 1 1\nKs 1 1 1\nNs 50\nd 0.5\n";
}

// A scene filled with a marker value, to show that a refused load leaves it alone.
inline scene sentinel_scene()
{
    scene s;
    memset(&s, 0, sizeof s);
    s.nverts = -77;
    return s;
}

// Dump bytes written field by field, little-endian.
struct bytes {
    std::vector<unsigned char> b;
    bytes &u8(unsigned v) { b.push_back((unsigned char)v); return *this; }
    bytes &u16(unsigned v) { return u8(v & 0xff).u8(v >> 8 & 0xff); }
    bytes &u32(unsigned v) { return u16(v & 0xffff).u16(v >> 16); }
    bytes &f32(float x)
    {
        uint32_t v;
        memcpy(&v, &x, 4);
        return u32(v);
    }
    bytes &str(const char *s)
    {
        for (; *s; s++)
            u8((unsigned char)*s);
        return u8(0);
    }
    bytes &material(const char *name, float value = 0.5f)
    {
        u8('m').str(name);
        for (int i = 0; i < 11; i++)
            f32(value);
        return *this;
    }
    // A group of one triangle over vertices and normals 0, 1, 2.
    bytes &triangle_group(const char *name, const char *mat)
    {
        u8('g').str(name).str(mat).u16(1).u8(3);
        for (int k = 0; k < 3; k++)
            u16((unsigned)k);
        for (int k = 0; k < 3; k++)
            u16((unsigned)k);
        return *this;
    }
    // Scale 100 and three vertices and normals.
    bytes &coordinates()
    {
        u16(100).u32(3);
        for (int i = 0; i < 9; i++)
            u16((unsigned)(i * 10));
        u32(3);
        for (int i = 0; i < 9; i++)
            u16(i % 4 == 0 ? 100 : 0);
        return *this;
    }
};

inline std::vector<std::string> object_names(const scene &s)
{
    std::vector<std::string> v;
    for (const object *o = s.objects; o; o = o->next)
        v.push_back(o->name);
    return v;
}

inline std::vector<std::string> material_names(const scene &s)
{
    std::vector<std::string> v;
    for (const material *m = s.materials; m; m = m->next)
        v.push_back(m->name);
    return v;
}

inline std::vector<unsigned char> read_file(const std::string &path)
{
    std::vector<unsigned char> data;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return data;
    int c;
    while ((c = fgetc(f)) != EOF)
        data.push_back((unsigned char)c);
    fclose(f);
    return data;
}

inline std::string temp_path(const char *name)
{
    return std::string(TAVIO_BINARY_DIR) + "/test-" + name;
}
