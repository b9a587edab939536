// OBJ and MTL import (a strict subset reader) and OBJ/MTL export of a scene.
#include "models/obj.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>


enum { MAX_WORDS = 1024 };  // words on one line, so corners of one face

namespace {

// Hands out the lines of a text one by one, ending each with a NUL in place.
// CR LF, LF and a lone CR all end a line; numbering follows an editor's.
struct line_reader {
    char *p;
    long line;
};

char *next_line(line_reader *r, long *number)
{
    if (!*r->p)
        return nullptr;
    char *start = r->p;
    char *end = start + strcspn(start, "\r\n");
    *number = r->line++;
    if (end[0] == '\r' && end[1] == '\n') {
        *end = 0;
        r->p = end + 2;
    } else if (*end) {
        *end = 0;
        r->p = end + 1;
    } else {
        r->p = end;
    }
    return start;
}

// Splits a line at runs of blanks and tabs; returns the number of words
// (at most MAX_WORDS + 1, so that an overlong line shows).
int split_words(char *line, char **words)
{
    int n = 0;
    char *p = line;
    for (;;) {
        p += strspn(p, " \t");
        if (!*p || n > MAX_WORDS)
            return n;
        words[n++] = p;
        p += strcspn(p, " \t");
        if (*p)
            *p++ = 0;
    }
}

bool parse_float(const char *w, float *out)
{
    char *end;
    errno = 0;
    *out = strtof(w, &end);
    return end != w && !*end && errno == 0;
}

bool parse_int(const char *w, const char *end_at, long *out)
{
    char *end;
    errno = 0;
    *out = strtol(w, &end, 10);
    return end != w && end == end_at && errno == 0;
}

// Three numbers from words[1..3]; further words are ignored.
bool parse_triple(char **words, int n, float *out)
{
    if (n < 4)
        return false;
    for (int k = 0; k < 3; k++)
        if (!parse_float(words[k + 1], &out[k]))
            return false;
    return true;
}

struct mtl_state {
    scene *s;
    load_error *err;
    material *current;
};

bool mtl_line(mtl_state &st, char *line, long number)
{
    char *words[MAX_WORDS + 1];
    int n = split_words(line, words);
    if (n == 0 || words[0][0] == '#')
        return true;
    const char *key = words[0];
    if (strcmp(key, "newmtl") == 0) {
        if (n < 2) {
            set_load_error(st.err, number, "newmtl without a material name");
            return false;
        }
        if (strlen(words[1]) > NAME_MAX_LEN) {
            set_load_error(st.err, number, "material name longer than 999 bytes");
            return false;
        }
        st.current = new_material(st.s, words[1]);
        if (!st.current) {
            set_load_error(st.err, number, "out of memory");
            return false;
        }
        return true;
    }
    float *colour = nullptr, *value = nullptr;
    if (strcmp(key, "Ka") == 0 || strcmp(key, "Kd") == 0 || strcmp(key, "Ks") == 0) {
        if (!st.current) {
            set_load_error(st.err, number, "%s before any newmtl", key);
            return false;
        }
        colour = key[1] == 'a' ? st.current->ambient
                 : key[1] == 'd' ? st.current->diffuse : st.current->specular;
        if (!parse_triple(words, n, colour)) {
            set_load_error(st.err, number, "%s needs three numbers (red green blue)", key);
            return false;
        }
        return true;
    }
    if (strcmp(key, "Ns") == 0 || strcmp(key, "d") == 0) {
        if (!st.current) {
            set_load_error(st.err, number, "%s before any newmtl", key);
            return false;
        }
        value = key[0] == 'N' ? &st.current->ns : &st.current->d;
        if (n < 2 || !parse_float(words[1], value)) {
            set_load_error(st.err, number, "%s needs a number", key);
            return false;
        }
    }
    return true;
}

}  // namespace

int get_mtl(scene *s, char *text, load_error *err)
{
    mtl_state st = {s, err, nullptr};
    line_reader r = {text, 1};
    long number;
    while (char *line = next_line(&r, &number))
        if (!mtl_line(st, line, number))
            return -1;
    return 0;
}

char *read_text_file(const char *path)
{
    return read_file(path, MAX_MODEL_FILE, nullptr, nullptr);
}

namespace {

struct obj_state {
    scene *s;
    load_error *err;
    const char *obj_path;
    object *obj;
    long obj_line;
    group *grp;
    long grp_line;
    int lights;
    int vslot, nslot;  // vertices and normals read so far
    bool have_mtl;     // the materials were handed in and are loaded
};

bool obj_fail(obj_state &st, long line, const char *what, const char *name = "")
{
    set_load_error(st.err, line, what, name);
    return false;
}

bool finish_group(obj_state &st)
{
    if (st.grp && !st.grp->material)
        return obj_fail(st, st.grp_line, "group '%s' has no material (usemtl missing)", st.grp->name);
    st.grp = nullptr;
    return true;
}

bool finish_object(obj_state &st)
{
    if (!finish_group(st))
        return false;
    if (st.obj) {
        const char *problem = object_problem(st.obj);
        if (problem) {
            set_load_error(st.err, st.obj_line, "object '%s': %s", st.obj->name, problem);
            return false;
        }
    }
    st.obj = nullptr;
    return true;
}

// The library named on an "mtllib" line: as written, else beside the OBJ file.
bool load_library(obj_state &st, const char *name, long line)
{
    char path[2100];
    snprintf(path, sizeof path, "%s", name);
    load_error why = {};
    char *text = read_file(path, MAX_MODEL_FILE, nullptr, &why);
    if (!text && st.obj_path && name[0] != '/') {
        const char *slash = strrchr(st.obj_path, '/');
        if (slash) {
            snprintf(path, sizeof path, "%.*s/%s", (int)(slash - st.obj_path), st.obj_path, name);
            text = read_file(path, MAX_MODEL_FILE, nullptr, &why);
        }
    }
    if (!text) {
        set_load_error(st.err, line, "cannot open material library '%.900s': %.200s", name, why.what);
        return false;
    }
    int r = get_mtl(st.s, text, st.err);
    free(text);
    if (r < 0 && st.err)
        snprintf(st.err->file, sizeof st.err->file, "%.1000s", path);
    return r == 0;
}

// One corner field "v/t/n" or "v//n": 1-based indices, negative ones relative.
bool parse_corner(obj_state &st, char *field, long line, int *vi, int *ni)
{
    char *first = strchr(field, '/');
    char *last = strrchr(field, '/');
    if (!first || first == last || !last[1])
        return obj_fail(st, line, "corner '%s' is not of the form v/t/n or v//n", field);
    long v, n;
    if (!parse_int(field, first, &v) || !parse_int(last + 1, last + strlen(last), &n))
        return obj_fail(st, line, "corner '%s' is not of the form v/t/n or v//n", field);
    long v0 = v > 0 ? v - 1 : st.vslot + v;
    long n0 = n > 0 ? n - 1 : st.nslot + n;
    long vmax = v > 0 ? st.s->nverts : st.vslot;
    long nmax = n > 0 ? st.s->nnormals : st.nslot;
    if (v == 0 || v0 < 0 || v0 >= vmax)
        return obj_fail(st, line, "corner '%s': vertex index out of range", field);
    if (n == 0 || n0 < 0 || n0 >= nmax)
        return obj_fail(st, line, "corner '%s': normal index out of range", field);
    *vi = (int)v0;
    *ni = (int)n0;
    return true;
}

bool face_line(obj_state &st, char **words, int n, long line)
{
    if (!st.grp)
        return obj_fail(st, line, st.obj ? "face before any group (g)" : "face before any object (o)");
    if (n - 1 < 3)
        return obj_fail(st, line, "a face needs at least three corners");
    if (n > MAX_WORDS)
        return obj_fail(st, line, "a face has too many corners");
    face *f = (face *)calloc(1, sizeof *f);
    if (!f)
        return obj_fail(st, line, "out of memory");
    f->next = st.grp->faces;
    st.grp->faces = f;
    f->vi = (int *)malloc(sizeof(int) * (size_t)(n - 1));
    f->ni = (int *)malloc(sizeof(int) * (size_t)(n - 1));
    if (!f->vi || !f->ni)
        return obj_fail(st, line, "out of memory");
    f->n = n - 1;
    for (int k = 0; k < f->n; k++)
        if (!parse_corner(st, words[k + 1], line, &f->vi[k], &f->ni[k]))
            return false;
    return true;
}

bool named(obj_state &st, char **words, int n, long line)
{
    if (n < 2)
        return obj_fail(st, line, "%s without a name", words[0]);
    if (strlen(words[1]) > NAME_MAX_LEN)
        return obj_fail(st, line, "%s name longer than 999 bytes", words[0]);
    return true;
}

bool obj_line(obj_state &st, char *line, long number, char *mtl)
{
    char *words[MAX_WORDS + 1];
    int n = split_words(line, words);
    if (n == 0 || words[0][0] == '#')
        return true;
    const char *key = words[0];
    if (strcmp(key, "v") == 0 || strcmp(key, "vn") == 0) {
        bool vertex = key[1] == 0;
        float *slot = vertex ? st.s->verts + 3 * st.vslot++ : st.s->normals + 3 * st.nslot++;
        if (!parse_triple(words, n, slot))
            return obj_fail(st, number, "%s needs three numbers (x y z)", key);
        return true;
    }
    if (strcmp(key, "f") == 0)
        return face_line(st, words, n, number);
    if (strcmp(key, "mtllib") == 0) {
        if (mtl) {
            if (st.have_mtl)
                return true;
            st.have_mtl = true;
            if (get_mtl(st.s, mtl, st.err) == 0)
                return true;
            if (st.err)
                st.err->in_library = 1;
            return false;
        }
        return named(st, words, n, number) && load_library(st, words[1], number);
    }
    if (strcmp(key, "o") == 0) {
        if (!named(st, words, n, number) || !finish_object(st))
            return false;
        st.obj = new_object(st.s, words[1]);
        st.obj_line = number;
        if (!st.obj)
            return obj_fail(st, number, "out of memory");
        if (st.obj->type == OBJECT_LIGHT && ++st.lights > SCENE_MAX_LIGHTS)
            return obj_fail(st, number, "more than eight light objects");
        return true;
    }
    if (strcmp(key, "g") == 0) {
        if (!st.obj)
            return obj_fail(st, number, "group before any object (o)");
        if (!named(st, words, n, number) || !finish_group(st))
            return false;
        st.grp = new_group(st.obj, words[1]);
        st.grp_line = number;
        return st.grp || obj_fail(st, number, "out of memory");
    }
    if (strcmp(key, "usemtl") == 0) {
        if (!named(st, words, n, number))
            return false;
        if (!st.grp)
            return obj_fail(st, number, "usemtl before any group (g)");
        st.grp->material = material_named(st.s, words[1]);
        if (!st.grp->material)
            return obj_fail(st, number, "material '%s' is not defined by the material library",
                            words[1]);
    }
    return true;
}

// The first word of a read-only line, compared without cutting the text.
bool first_word_is(const char *line, const char *word)
{
    line += strspn(line, " \t");
    size_t len = strlen(word);
    return strncmp(line, word, len) == 0 && (line[len] == ' ' || line[len] == '\t' ||
                                             line[len] == '\r' || line[len] == '\n' || !line[len]);
}

void count_coordinates(const char *text, int *verts, int *normals)
{
    *verts = *normals = 0;
    for (const char *p = text; *p;) {
        *verts += first_word_is(p, "v");
        *normals += first_word_is(p, "vn");
        p += strcspn(p, "\r\n");
        p += strspn(p, "\r\n");
    }
}

}  // namespace

int get_scene(scene *s, char *text, char *mtl, const char *obj_path, load_error *err)
{
    if (err)
        *err = load_error{};
    scene tmp = {};
    count_coordinates(text, &tmp.nverts, &tmp.nnormals);
    tmp.verts = (float *)calloc(3 * (size_t)tmp.nverts + 1, sizeof(float));
    tmp.normals = (float *)calloc(3 * (size_t)tmp.nnormals + 1, sizeof(float));
    obj_state st = {};
    st.s = &tmp;
    st.err = err;
    st.obj_path = obj_path;
    bool ok = tmp.verts && tmp.normals;
    if (!ok)
        set_load_error(err, 0, "out of memory");
    line_reader r = {text, 1};
    long number;
    while (ok) {
        char *line = next_line(&r, &number);
        if (!line)
            break;
        ok = obj_line(st, line, number, mtl);
    }
    if (ok)
        ok = finish_object(st);
    if (!ok) {
        delete_scene(&tmp);
        return -1;
    }
    link_pivots(&tmp);
    *s = tmp;
    return 0;
}

int load_scene(scene *s, const char *path, load_error *err)
{
    if (err)
        *err = load_error{};
    char *text = read_file(path, MAX_MODEL_FILE, nullptr, err);
    if (!text)
        return -1;
    int r = get_scene(s, text, nullptr, path, err);
    free(text);
    return r;
}

// ---- export ----

// Records go out in list order. A scene decoded from a dump has its lists in
// the order of the OBJ text it was made from, so its export is that text again
// and importing it gives back the same dump.
static void write_mtl(FILE *f, const scene *s)
{
    fputs("# Materials: colours are red green blue, 0..1; Ns is the specular exponent.\n", f);
    for (const material *m = s->materials; m; m = m->next) {
        fprintf(f, "\nnewmtl %s\n", m->name);
        fprintf(f, "Ka %.9g %.9g %.9g\n", m->ambient[0], m->ambient[1], m->ambient[2]);
        fprintf(f, "Kd %.9g %.9g %.9g\n", m->diffuse[0], m->diffuse[1], m->diffuse[2]);
        fprintf(f, "Ks %.9g %.9g %.9g\n", m->specular[0], m->specular[1], m->specular[2]);
        fprintf(f, "Ns %.9g\nd %.9g\n", m->ns, m->d);
    }
}

static void write_obj(FILE *f, const scene *s, const char *mtl_name)
{
    fprintf(f, "mtllib %s\n", mtl_name);
    for (int i = 0; i < s->nverts; i++)
        fprintf(f, "v %.9g %.9g %.9g\n", s->verts[3 * i], s->verts[3 * i + 1], s->verts[3 * i + 2]);
    for (int i = 0; i < s->nnormals; i++)
        fprintf(f, "vn %.9g %.9g %.9g\n", s->normals[3 * i], s->normals[3 * i + 1],
                s->normals[3 * i + 2]);
    for (const object *o = s->objects; o; o = o->next) {
        fprintf(f, "o %s\n", o->name);
        for (const group *g = o->groups; g; g = g->next) {
            fprintf(f, "g %s\nusemtl %s\n", g->name, g->material ? g->material->name : "");
            for (const face *fc = g->faces; fc; fc = fc->next) {
                fputc('f', f);
                for (int k = 0; k < fc->n; k++)
                    fprintf(f, " %d//%d", fc->vi[k] + 1, fc->ni[k] + 1);
                fputc('\n', f);
            }
        }
    }
}

static bool write_whole(const char *tmp, void (*fill)(FILE *, const void *),
                        const void *arg)
{
    FILE *f = fopen(tmp, "wb");
    if (!f)
        return false;
    fill(f, arg);
    bool failed = ferror(f) != 0;
    failed |= fclose(f) != 0;
    if (failed) {
        int why = errno;
        remove(tmp);
        errno = why;
        return false;
    }
    return true;
}

struct obj_args {
    const scene *s;
    const char *mtl_name;
};

int export_obj(const scene *s, const char *obj_path, const char *mtl_path, load_error *err)
{
    if (err)
        *err = load_error{};
    for (const object *o = s->objects; o; o = o->next)
        for (const group *g = o->groups; g; g = g->next)
            if (!g->material) {
                set_load_error(err, 0, "group '%s' has no material", g->name);
                return -1;
            }
    struct stat st;
    const char *outputs[2] = {obj_path, mtl_path};
    for (const char *path : outputs)
        if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) {
            set_load_error(err, 0, "cannot write '%.900s': it is a directory", path);
            return -1;
        }
    char obj_tmp[1100], mtl_tmp[1100];
    snprintf(obj_tmp, sizeof obj_tmp, "%s.tmp", obj_path);
    snprintf(mtl_tmp, sizeof mtl_tmp, "%s.tmp", mtl_path);
    const char *slash = strrchr(mtl_path, '/');
    obj_args args = {s, slash ? slash + 1 : mtl_path};
    bool ok = write_whole(mtl_tmp,
                          [](FILE *f, const void *a) { write_mtl(f, (const scene *)a); }, s);
    if (!ok) {
        set_load_error(err, 0, "cannot write '%.900s': %s", mtl_path, strerror(errno));
        return -1;
    }
    ok = write_whole(obj_tmp, [](FILE *f, const void *a) {
        const obj_args *oa = (const obj_args *)a;
        write_obj(f, oa->s, oa->mtl_name);
    }, &args);
    if (!ok) {
        int why = errno;
        remove(mtl_tmp);
        set_load_error(err, 0, "cannot write '%.900s': %s", obj_path, strerror(why));
        return -1;
    }
    // The OBJ goes into place first: a library renamed before a failing OBJ would be left behind.
    if (rename(obj_tmp, obj_path) != 0) {
        int why = errno;
        remove(mtl_tmp);
        remove(obj_tmp);
        set_load_error(err, 0, "cannot write '%.900s': %s", obj_path, strerror(why));
        return -1;
    }
    if (rename(mtl_tmp, mtl_path) != 0) {
        int why = errno;
        remove(mtl_tmp);
        remove(obj_path);
        set_load_error(err, 0, "cannot write '%.900s': %s", mtl_path, strerror(why));
        return -1;
    }
    return 0;
}
