// Model dump writer and reader; the reader checks every byte it takes against the data's length.
#include "models/dump.h"

#include <errno.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

void writeint(FILE *f, unsigned value, int nbytes)
{
    for (int i = 0; i < nbytes; i++)
        fputc((int)((value >> (8 * i)) & 0xff), f);
}

void writefloat(FILE *f, float x)
{
    uint32_t bits;
    memcpy(&bits, &x, 4);
    writeint(f, bits, 4);
}

static void writename(FILE *f, const char *name)
{
    fwrite(name, 1, strlen(name) + 1, f);
}

static float largest_coordinate(const float *v, int count)
{
    float m = 0;
    for (int i = 0; i < count; i++)
        if (fabsf(v[i]) > m)
            m = fabsf(v[i]);
    return m;
}

// Everything the field widths of the format limit, checked before a byte is written.
static int check_dumpable(const scene *s, load_error *err)
{
    for (const object *o = s->objects; o; o = o->next)
        for (const group *g = o->groups; g; g = g->next) {
            if (!g->material) {
                set_load_error(err, 0, "group '%s' of object '%s' has no material", g->name, o->name);
                return -1;
            }
            long faces = 0;
            for (const face *f = g->faces; f; f = f->next, faces++) {
                if (f->n < 3 || f->n > 255) {
                    set_load_error(err, 0, "a face of group '%s' has %d corners (3 to 255 fit)",
                                   g->name, f->n);
                    return -1;
                }
                for (int k = 0; k < f->n; k++)
                    if (f->vi[k] < 0 || f->vi[k] >= s->nverts || f->vi[k] > 65535 ||
                        f->ni[k] < 0 || f->ni[k] >= s->nnormals || f->ni[k] > 65535) {
                        set_load_error(err, 0, "a face of group '%s' has an index out of range",
                                       g->name);
                        return -1;
                    }
            }
            if (faces > 65535) {
                set_load_error(err, 0, "group '%s' has %ld faces (65535 fit)", g->name, faces);
                return -1;
            }
        }
    return 0;
}

// Each coordinate becomes trunc(value * scale). A value read from a dump a
// moment ago (k / scale as a float) can multiply back to just under k; the
// hundredth of a step allowed here brings it back to k, so dumping a
// decoded scene again gives the same bytes.
static void write_coordinates(FILE *f, const float *v, int count, float scale)
{
    for (int i = 0; i < count; i++) {
        double x = (double)v[i] * scale;
        writeint(f, (unsigned)(int)(x + (x > 0 ? 0.01 : x < 0 ? -0.01 : 0)), 2);
    }
}

static void write_records(FILE *f, const scene *s)
{
    for (const material *m = s->materials; m; m = m->next) {
        fputc('m', f);
        writename(f, m->name);
        for (int c = 0; c < 3; c++)
            writefloat(f, m->ambient[c]);
        for (int c = 0; c < 3; c++)
            writefloat(f, m->diffuse[c]);
        for (int c = 0; c < 3; c++)
            writefloat(f, m->specular[c]);
        writefloat(f, m->d);
        writefloat(f, m->ns);
    }
    for (const object *o = s->objects; o; o = o->next) {
        fputc('o', f);
        writename(f, o->name);
        for (const group *g = o->groups; g; g = g->next) {
            fputc('g', f);
            writename(f, g->name);
            writename(f, g->material->name);
            unsigned faces = 0;
            for (const face *fc = g->faces; fc; fc = fc->next)
                faces++;
            writeint(f, faces, 2);
            for (const face *fc = g->faces; fc; fc = fc->next) {
                fputc(fc->n, f);
                for (int k = 0; k < fc->n; k++)
                    writeint(f, (unsigned)fc->vi[k], 2);
                for (int k = 0; k < fc->n; k++)
                    writeint(f, (unsigned)fc->ni[k], 2);
            }
        }
    }
    fputc('q', f);
}

int dump_scene(const scene *s, const char *path, load_error *err)
{
    if (!s) {
        set_load_error(err, 0, "no scene to write");
        return -1;
    }
    if (check_dumpable(s, err) < 0)
        return -1;
    float vm = largest_coordinate(s->verts, 3 * s->nverts);
    float nm = largest_coordinate(s->normals, 3 * s->nnormals);
    double m = vm > nm ? vm : nm;
    long scale = (long)(32767.0 / (m + 1));
    if (!(scale >= 1)) {
        set_load_error(err, 0, "a coordinate of magnitude %g is too large (32766 fit)", m);
        return -1;
    }

    char tmp[1100];
    snprintf(tmp, sizeof tmp, "%s.tmp", path);
    FILE *f = fopen(tmp, "wb");
    if (!f) {
        set_load_error(err, 0, "cannot write '%.900s': %s", path, strerror(errno));
        return -1;
    }
    writeint(f, (unsigned)scale, 2);
    writeint(f, (unsigned)s->nverts, 4);
    write_coordinates(f, s->verts, 3 * s->nverts, (float)scale);
    writeint(f, (unsigned)s->nnormals, 4);
    write_coordinates(f, s->normals, 3 * s->nnormals, (float)scale);
    write_records(f, s);
    bool failed = ferror(f) != 0;
    failed |= fclose(f) != 0;
    if (failed || rename(tmp, path) != 0) {
        int why = errno;
        remove(tmp);
        set_load_error(err, 0, "cannot write '%.900s': %s", path, strerror(why));
        return -1;
    }
    return 0;
}

namespace {

// A bounds-checked reading position in the dump.
struct cursor {
    const unsigned char *base, *p, *end;
    load_error *err;
    bool bad;
};

long offset(const cursor &c)
{
    return (long)(c.p - c.base);
}

bool fail(cursor &c, long at, const char *what)
{
    if (!c.bad)
        set_load_error(c.err, at, "%s", what);
    c.bad = true;
    return false;
}

bool have(cursor &c, size_t n, const char *what)
{
    if (c.bad)
        return false;
    if ((size_t)(c.end - c.p) < n)
        return fail(c, offset(c), what);
    return true;
}

}  // namespace

// Reads nbytes at the cursor, least significant first; 0 past the end (and the cursor is marked bad).
static unsigned getint(cursor *c, int nbytes)
{
    if (!have(*c, (size_t)nbytes, "data ends inside a number (truncated dump)"))
        return 0;
    unsigned v = 0;
    for (int i = 0; i < nbytes; i++)
        v |= (unsigned)c->p[i] << (8 * i);
    c->p += nbytes;
    return v;
}

static float getfloat(cursor *c)
{
    uint32_t bits = getint(c, 4);
    float x;
    memcpy(&x, &bits, 4);
    return x;
}

static bool getname(cursor *c, char *out)
{
    if (!have(*c, 1, "data ends where a name should start (truncated dump)"))
        return false;
    const unsigned char *nul = (const unsigned char *)memchr(c->p, 0, (size_t)(c->end - c->p));
    if (!nul)
        return fail(*c, offset(*c), "a name runs past the end of the data (truncated dump)");
    if (nul - c->p > NAME_MAX_LEN)
        return fail(*c, offset(*c), "a name is longer than 999 bytes");
    memcpy(out, c->p, (size_t)(nul - c->p) + 1);
    c->p = nul + 1;
    return true;
}

static float *read_coordinates(cursor *c, float scale, int *count, const char *what)
{
    long at = offset(*c);
    unsigned n = getint(c, 4);
    if (c->bad)
        return nullptr;
    if (n > 0x7fffffff / 6 || (size_t)(c->end - c->p) < (size_t)n * 6) {
        fail(*c, at, what);
        return nullptr;
    }
    float *v = (float *)malloc(sizeof(float) * 3 * (n ? n : 1));
    if (!v) {
        fail(*c, at, "out of memory");
        return nullptr;
    }
    for (unsigned i = 0; i < 3 * n; i++)
        v[i] = (float)(int16_t)getint(c, 2) / scale;
    *count = (int)n;
    return v;
}

static bool read_material(cursor *c, scene *s)
{
    char name[NAME_MAX_LEN + 1];
    if (!getname(c, name))
        return false;
    material *m = new_material(s, name);
    if (!m)
        return fail(*c, offset(*c), "out of memory");
    for (int k = 0; k < 3; k++)
        m->ambient[k] = getfloat(c);
    for (int k = 0; k < 3; k++)
        m->diffuse[k] = getfloat(c);
    for (int k = 0; k < 3; k++)
        m->specular[k] = getfloat(c);
    m->d = getfloat(c);
    m->ns = getfloat(c);
    return !c->bad;
}

static bool read_face(cursor *c, scene *s, group *g)
{
    long at = offset(*c);
    int n = (int)getint(c, 1);
    if (c->bad)
        return false;
    if (n < 3)
        return fail(*c, at, "a face has fewer than three corners");
    face *f = (face *)calloc(1, sizeof *f);
    if (!f)
        return fail(*c, at, "out of memory");
    f->next = g->faces;
    g->faces = f;
    f->vi = (int *)malloc(sizeof(int) * (size_t)n);
    f->ni = (int *)malloc(sizeof(int) * (size_t)n);
    if (!f->vi || !f->ni)
        return fail(*c, at, "out of memory");
    f->n = n;
    for (int k = 0; k < n; k++) {
        long here = offset(*c);
        f->vi[k] = (int)getint(c, 2);
        if (!c->bad && f->vi[k] >= s->nverts)
            return fail(*c, here, "vertex index out of range");
    }
    for (int k = 0; k < n; k++) {
        long here = offset(*c);
        f->ni[k] = (int)getint(c, 2);
        if (!c->bad && f->ni[k] >= s->nnormals)
            return fail(*c, here, "normal index out of range");
    }
    return !c->bad;
}

static bool read_group(cursor *c, scene *s, object *o, long at)
{
    if (!o)
        return fail(*c, at, "a group record comes before any object record");
    char name[NAME_MAX_LEN + 1], mname[NAME_MAX_LEN + 1];
    if (!getname(c, name))
        return false;
    long mat_at = offset(*c);
    if (!getname(c, mname))
        return false;
    group *g = new_group(o, name);
    if (!g)
        return fail(*c, at, "out of memory");
    g->material = material_named(s, mname);
    if (!g->material) {
        char what[512];
        snprintf(what, sizeof what, "group '%.100s' names material '%.100s', which no earlier record defines",
                 name, mname);
        return fail(*c, mat_at, what);
    }
    unsigned faces = getint(c, 2);
    for (unsigned i = 0; i < faces && !c->bad; i++)
        read_face(c, s, g);
    return !c->bad;
}

static bool finish_object(cursor *c, const object *o, long at)
{
    if (!o)
        return true;
    const char *problem = object_problem(o);
    if (problem) {
        char what[300];
        snprintf(what, sizeof what, "object '%.100s': %s", o->name, problem);
        return fail(*c, at, what);
    }
    return true;
}

static bool read_records(cursor *c, scene *s)
{
    object *current = nullptr;
    long current_at = 0;
    int lights = 0;
    for (;;) {
        long at = offset(*c);
        if (c->p >= c->end)
            return fail(*c, at, "the data ends without its end record 'q' (truncated dump)");
        int tag = *c->p++;
        if (tag == 'q')
            return finish_object(c, current, current_at);
        if (tag == 'm') {
            if (!read_material(c, s))
                return false;
        } else if (tag == 'o') {
            if (!finish_object(c, current, current_at))
                return false;
            char name[NAME_MAX_LEN + 1];
            if (!getname(c, name))
                return false;
            current = new_object(s, name);
            current_at = at;
            if (!current)
                return fail(*c, at, "out of memory");
            if (current->type == OBJECT_LIGHT && ++lights > SCENE_MAX_LIGHTS)
                return fail(*c, at, "more than eight light objects");
        } else if (tag == 'g') {
            if (!read_group(c, s, current, at))
                return false;
        }
        // any other byte is passed over
    }
}

int get_dump(scene *s, const unsigned char *data, size_t size, load_error *err)
{
    scene tmp = {};
    cursor c = {data, data, data + size, err, false};
    if (err)
        *err = load_error{};
    unsigned scale = getint(&c, 2);
    if (!c.bad && scale == 0)
        fail(c, 0, "scale is 0 (1 to 32767 expected)");
    if (!c.bad) {
        tmp.verts = read_coordinates(&c, (float)scale, &tmp.nverts, "the vertex count runs past the end of the data (truncated dump)");
    }
    if (!c.bad) {
        tmp.normals = read_coordinates(&c, (float)scale, &tmp.nnormals, "the normal count runs past the end of the data (truncated dump)");
    }
    if (!c.bad)
        read_records(&c, &tmp);
    if (c.bad) {
        delete_scene(&tmp);
        return -1;
    }
    link_pivots(&tmp);
    *s = tmp;
    return 0;
}

int load_dump(scene *s, const char *path, load_error *err)
{
    if (err)
        *err = load_error{};
    size_t size = 0;
    unsigned char *data = (unsigned char *)read_file(path, MAX_MODEL_FILE, &size, err);
    if (!data)
        return -1;
    int r = get_dump(s, data, size, err);
    free(data);
    return r;
}
