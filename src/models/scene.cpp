// Scene records: object roles from names, pivot geometry, linking parts to pivots, release.
#include "models/scene.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

void set_load_error(load_error *err, long where, const char *fmt, ...)
{
    if (!err)
        return;
    err->where = where;
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(err->what, sizeof err->what, fmt, ap);
    va_end(ap);
}

char *read_file(const char *path, size_t limit, size_t *size, load_error *err)
{
    FILE *f = fopen(path, "rb");
    if (!f) {
        set_load_error(err, 0, "cannot open the file: %s", strerror(errno));
        return nullptr;
    }
    // The size comes from the open file itself, so a file replaced meanwhile is no matter.
    struct stat st;
    const char *problem = nullptr;
    if (fstat(fileno(f), &st) != 0)
        problem = "cannot read the file";
    else if (S_ISDIR(st.st_mode))
        problem = "is a directory, not a file";
    else if (!S_ISREG(st.st_mode))
        problem = "is not a regular file";
    else if (st.st_size == 0)
        problem = "the file is empty";
    if (problem) {
        fclose(f);
        set_load_error(err, 0, "%s", problem);
        return nullptr;
    }
    if ((unsigned long long)st.st_size > limit) {
        fclose(f);
        set_load_error(err, 0, "the file is %lld bytes; at most %zu are read", (long long)st.st_size,
                       limit);
        return nullptr;
    }
    size_t n = (size_t)st.st_size;
    char *data = (char *)malloc(n + 1);
    if (!data) {
        fclose(f);
        set_load_error(err, 0, "out of memory for %zu bytes", n);
        return nullptr;
    }
    size_t got = fread(data, 1, n, f);
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed || got != n) {
        free(data);
        set_load_error(err, 0, "cannot read the file%s", failed ? "" : ": it shrank while being read");
        return nullptr;
    }
    data[n] = 0;
    if (size)
        *size = n;
    return data;
}

static void copy_name(char *dst, const char *src)
{
    snprintf(dst, NAME_MAX_LEN + 1, "%s", src);
}

// The role is decided by the first bytes only: "pivot" alone is a part,
// and anything starting with "point" is a light.
object *new_object(scene *s, const char *name)
{
    object *o = (object *)calloc(1, sizeof *o);
    if (!o)
        return nullptr;
    copy_name(o->name, name);
    o->type = OBJECT_PART;
    if (strncmp(name, "pivot_", 6) == 0)
        o->type = OBJECT_PIVOT;
    if (strncmp(name, "point", 5) == 0) {
        o->type = OBJECT_LIGHT;
        s->has_lights = 1;
    }
    o->next = s->objects;
    s->objects = o;
    return o;
}

material *new_material(scene *s, const char *name)
{
    material *m = (material *)calloc(1, sizeof *m);
    if (!m)
        return nullptr;
    copy_name(m->name, name);
    // Values a material text leaves out take OpenGL's own material defaults.
    for (int c = 0; c < 3; c++) {
        m->ambient[c] = 0.2f;
        m->diffuse[c] = 0.8f;
    }
    m->ambient[3] = m->diffuse[3] = m->specular[3] = 1;
    m->d = 1;
    m->next = s->materials;
    s->materials = m;
    return m;
}

group *new_group(object *o, const char *name)
{
    group *g = (group *)calloc(1, sizeof *g);
    if (!g)
        return nullptr;
    copy_name(g->name, name);
    g->next = o->groups;
    o->groups = g;
    return g;
}

material *material_named(const scene *s, const char *name)
{
    material *found = nullptr;
    for (material *m = s->materials; m; m = m->next)
        if (strcmp(m->name, name) == 0)
            found = m;  // the last in list order is the one defined first
    return found;
}

static float dist2(const float *a, const float *b)
{
    float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

// The apex of a side triangle is the corner opposite its shortest edge; ties
// and the third edge being shortest give corner 0. The axis runs to the centre
// of the first polygon of four or more corners (the base).
void pivot_vectors(scene *s, object *pivot)
{
    float sum[3] = {0, 0, 0};
    float point[3] = {0, 0, 0};
    bool have_base = false, have_apex = false;
    const group *g = pivot->groups;
    for (const face *f = g ? g->faces : nullptr; f; f = f->next) {
        if (f->n > 3 && !have_base) {
            for (int k = 0; k < f->n; k++)
                for (int c = 0; c < 3; c++)
                    sum[c] += s->verts[3 * f->vi[k] + c];
            for (int c = 0; c < 3; c++)
                sum[c] /= (float)f->n;
            have_base = true;
        } else if (f->n == 3 && !have_apex) {
            const float *c0 = s->verts + 3 * f->vi[0];
            const float *c1 = s->verts + 3 * f->vi[1];
            const float *c2 = s->verts + 3 * f->vi[2];
            float e0 = dist2(c0, c1), e1 = dist2(c1, c2), e2 = dist2(c2, c0);
            const float *chosen = c0;
            if (e2 < e0 && e2 < e1)
                chosen = c1;
            else if (e0 < e1 && e0 < e2)
                chosen = c2;
            memcpy(point, chosen, sizeof point);
            have_apex = true;
        }
    }
    for (int c = 0; c < 3; c++) {
        pivot->origin[c] = point[c];
        pivot->axis[c] = sum[c] - point[c];
    }
}

static bool hangs_on(const object *o, const object *pivot)
{
    char key[NAME_MAX_LEN + 2];
    snprintf(key, sizeof key, "_%s", o->name);
    return strstr(pivot->name, key) != nullptr;
}

void link_pivots(scene *s)
{
    for (object *p = s->objects; p; p = p->next) {
        if (p->type != OBJECT_PIVOT)
            continue;
        pivot_vectors(s, p);
        for (object *o = s->objects; o; o = o->next)
            if (o->type != OBJECT_PIVOT && !o->pivot && hangs_on(o, p))
                o->pivot = p;
    }
}

const char *object_problem(const object *o)
{
    if (o->type == OBJECT_PIVOT && !(o->groups && o->groups->faces))
        return "pivot has no marker geometry";
    if (o->type == OBJECT_LIGHT && !(o->groups && o->groups->faces))
        return "light has no geometry to take its direction from";
    return nullptr;
}

int count_lights(const scene *s)
{
    int n = 0;
    for (const object *o = s->objects; o; o = o->next)
        n += o->type == OBJECT_LIGHT;
    return n;
}

void delete_scene(scene *s)
{
    if (!s)
        return;
    for (material *m = s->materials, *next; m; m = next) {
        next = m->next;
        free(m);
    }
    for (object *o = s->objects, *onext; o; o = onext) {
        onext = o->next;
        for (group *g = o->groups, *gnext; g; g = gnext) {
            gnext = g->next;
            for (face *f = g->faces, *fnext; f; f = fnext) {
                fnext = f->next;
                free(f->vi);
                free(f->ni);
                free(f);
            }
            free(g);
        }
        free(o);
    }
    free(s->verts);
    free(s->normals);
}
