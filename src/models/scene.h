// Polygon scenes: objects made of material groups of faces, with pivots (hinges) and lights.
#pragma once

#include <stddef.h>

enum {
    NAME_MAX_LEN = 999,   // longest object, group or material name, in bytes
    SCENE_MAX_LIGHTS = 8, // one light object per OpenGL light
};

enum { OBJECT_PART = 1, OBJECT_PIVOT = 2, OBJECT_LIGHT = 3 };

struct material {
    float ambient[4];   // RGBA, 0..1; alpha always 1
    float diffuse[4];
    float specular[4];
    float d;            // opacity as read; kept, never drawn
    float ns;           // specular exponent, 0..128
    char name[NAME_MAX_LEN + 1];
    material *next;
};

struct face {
    int n;       // corners, at least 3
    int *vi;     // n vertex indices, 0-based into scene::verts
    int *ni;     // n normal indices, 0-based into scene::normals
    face *next;
};

struct group {
    face *faces;
    struct material *material;  // a material of the same scene
    char name[NAME_MAX_LEN + 1];
    group *next;
};

struct object {
    int type;          // OBJECT_PART, OBJECT_PIVOT or OBJECT_LIGHT, from the name
    group *groups;
    char name[NAME_MAX_LEN + 1];
    object *next;
    object *pivot;     // the pivot this object hangs on, or null
    float angle;       // degrees about the pivot's axis; written by effects
    float axis[3];     // pivots only: from the pivot point to the marker's base centre
    float origin[3];   // pivots only: the pivot point (the marker's apex)
};

// Lists are built head first, so each runs in the reverse order of its input.
struct scene {
    float *verts;      // nverts * 3 floats, model units
    float *normals;    // nnormals * 3 floats, unit length or zero
    int nverts;
    int nnormals;
    int has_lights;    // 1 when an object is a light
    object *objects;
    material *materials;
};

// Where and why a loader refused its input.
struct load_error {
    char file[1024];   // the file at fault; empty means the input the caller named
    long where;        // 1-based line of a text, byte offset of a dump; 0 when unknown
    char what[256];
    int in_library;    // 1 when the fault lies in a material library handed in as text
};

void set_load_error(load_error *err, long where, const char *fmt, ...)
    __attribute__((format(printf, 3, 4)));

enum { MAX_MODEL_FILE = 64 << 20 };  // bytes in an OBJ, MTL or dump file that the loaders read

// A whole regular file of 1 to `limit` bytes in a NUL-terminated heap buffer (its
// length in *size when given), or null with the reason in err: it cannot be
// opened, is a directory or no regular file, is empty, or is larger than `limit`.
char *read_file(const char *path, size_t limit, size_t *size, load_error *err);

// A fresh object with its type from its name (may set s->has_lights); null when out of memory.
object *new_object(scene *s, const char *name);
material *new_material(scene *s, const char *name);
group *new_group(object *o, const char *name);

// First material of that name in list order, or null.
material *material_named(const scene *s, const char *name);

// The pivot point and axis of a pivot object, from its marker (the head group).
void pivot_vectors(scene *s, object *pivot);

// Pivot vectors for every pivot, then each part and light hangs on the first
// pivot whose name contains "_" and the part's name.
void link_pivots(scene *s);

// Null when the finished object is fit to draw, else what is wrong with it.
const char *object_problem(const object *o);

int count_lights(const scene *s);

// Gives back everything the scene owns; a null scene is ignored.
void delete_scene(scene *s);
