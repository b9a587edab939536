// tavio-model: imports OBJ/MTL models into dumps, lists models, exports dumps back to OBJ/MTL.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>

#include "models/dump.h"
#include "models/obj.h"

static const char usage[] =
    "usage: tavio-model import OBJ [--mtl MTL] -o DUMP\n"
    "       tavio-model info FILE\n"
    "       tavio-model export DUMP -o OBJ\n"
    "\n"
    "import  reads a Wavefront OBJ model and its MTL materials (the library its\n"
    "        mtllib line names, looked up as written and beside the OBJ file, or\n"
    "        MTL when given) and writes it as a model dump.\n"
    "info    lists a dump or an OBJ file (by its .obj ending): scale, counts,\n"
    "        materials, objects with their groups, pivots and lights.\n"
    "export  writes a dump as OBJ text and its MTL library (OBJ with .mtl in place\n"
    "        of its ending), ready for a modelling program and a new import.\n"
    "\n"
    "A bad model is reported as FILE:LINE: reason (a byte offset for dumps); the\n"
    "exit status is then 1 and nothing is written. Bad arguments exit with 2.\n";

static int bad_usage(const char *why)
{
    fprintf(stderr, "tavio-model: %s\n%s", why, usage);
    return 2;
}

static int report(const char *path, const load_error &err)
{
    const char *file = err.file[0] ? err.file : path;
    if (err.where > 0)
        fprintf(stderr, "%s:%ld: %s\n", file, err.where, err.what);
    else
        fprintf(stderr, "%s: %s\n", file, err.what);
    return 1;
}

static bool is_obj_name(const char *path)
{
    size_t n = strlen(path);
    return n >= 4 && strcasecmp(path + n - 4, ".obj") == 0;
}

static int load_any(scene *s, const char *path, load_error *err)
{
    return is_obj_name(path) ? load_scene(s, path, err) : load_dump(s, path, err);
}

static int cmd_import(const char *obj, const char *mtl, const char *out)
{
    scene s = {};
    load_error err = {};
    char *mtl_text = nullptr;
    if (mtl) {
        mtl_text = read_file(mtl, MAX_MODEL_FILE, nullptr, &err);
        if (!mtl_text)
            return report(mtl, err);
    }
    char *text = read_file(obj, MAX_MODEL_FILE, nullptr, &err);
    if (!text) {
        free(mtl_text);
        return report(obj, err);
    }
    int r = get_scene(&s, text, mtl_text, obj, &err);
    free(text);
    free(mtl_text);
    if (r < 0) {
        if (err.in_library)
            snprintf(err.file, sizeof err.file, "%s", mtl);
        return report(obj, err);
    }
    r = dump_scene(&s, out, &err);
    delete_scene(&s);
    if (r < 0)
        return report(obj, err);
    return 0;
}

static const char *type_name(int type)
{
    return type == OBJECT_PIVOT ? "pivot" : type == OBJECT_LIGHT ? "light" : "part";
}

static int count_faces(const group *g)
{
    int n = 0;
    for (const face *f = g->faces; f; f = f->next)
        n++;
    return n;
}

static void print_info(const scene *s, long stored_scale)
{
    int materials = 0, objects = 0, faces = 0;
    for (const material *m = s->materials; m; m = m->next)
        materials++;
    for (const object *o = s->objects; o; o = o->next, objects++)
        for (const group *g = o->groups; g; g = g->next)
            faces += count_faces(g);
    if (stored_scale > 0) {
        printf("scale %ld\n", stored_scale);
    } else {
        float m = 0;
        for (int i = 0; i < 3 * s->nverts; i++)
            m = fabsf(s->verts[i]) > m ? fabsf(s->verts[i]) : m;
        for (int i = 0; i < 3 * s->nnormals; i++)
            m = fabsf(s->normals[i]) > m ? fabsf(s->normals[i]) : m;
        printf("scale %ld (as a dump)\n", (long)(32767.0 / ((double)m + 1)));
    }
    printf("vertices %d, normals %d, materials %d, objects %d, faces %d\n", s->nverts, s->nnormals,
           materials, objects, faces);
    printf("materials (list order):\n");
    for (const material *m = s->materials; m; m = m->next)
        printf("  %-10s ambient %.4g %.4g %.4g  diffuse %.4g %.4g %.4g  specular %.4g %.4g %.4g"
               "  d %.4g  ns %.4g\n",
               m->name, m->ambient[0], m->ambient[1], m->ambient[2], m->diffuse[0], m->diffuse[1],
               m->diffuse[2], m->specular[0], m->specular[1], m->specular[2], m->d, m->ns);
    printf("objects (list order):\n");
    for (const object *o = s->objects; o; o = o->next) {
        printf("  %-12s %-5s", o->name, type_name(o->type));
        if (o->pivot)
            printf(" on %s", o->pivot->name);
        printf("\n");
        for (const group *g = o->groups; g; g = g->next)
            printf("    group %-16s material %-10s faces %d\n", g->name,
                   g->material ? g->material->name : "(none)", count_faces(g));
    }
    printf("pivots (origin; axis):\n");
    for (const object *o = s->objects; o; o = o->next)
        if (o->type == OBJECT_PIVOT)
            printf("  %-12s %.4f %.4f %.4f; %.4f %.4f %.4f\n", o->name, o->origin[0], o->origin[1],
                   o->origin[2], o->axis[0], o->axis[1], o->axis[2]);
    printf("lights (OpenGL slot: object, direction, material):\n");
    int slot = 0;
    for (const object *o = s->objects; o; o = o->next)
        if (o->type == OBJECT_LIGHT) {
            const group *g = o->groups;
            const float *v = s->verts + 3 * g->faces->vi[0];
            printf("  %d: %-10s %.4f %.4f %.4f  %s\n", slot++, o->name, v[0], v[1], v[2],
                   g->material->name);
        }
}

static long stored_dump_scale(const char *path)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return 0;
    int lo = fgetc(f), hi = fgetc(f);
    fclose(f);
    return lo < 0 || hi < 0 ? 0 : lo | hi << 8;
}

static int cmd_info(const char *path)
{
    scene s = {};
    load_error err = {};
    if (load_any(&s, path, &err) < 0)
        return report(path, err);
    print_info(&s, is_obj_name(path) ? 0 : stored_dump_scale(path));
    delete_scene(&s);
    return 0;
}

static int cmd_export(const char *dump, const char *obj)
{
    scene s = {};
    load_error err = {};
    if (load_dump(&s, dump, &err) < 0)
        return report(dump, err);
    std::string mtl = obj;
    size_t dot = mtl.find_last_of('.');
    size_t slash = mtl.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        mtl.erase(dot);
    mtl += ".mtl";
    int r = export_obj(&s, obj, mtl.c_str(), &err);
    delete_scene(&s);
    if (r < 0)
        return report(obj, err);
    return 0;
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(usage, stdout);
            return 0;
        }
    if (argc < 2)
        return bad_usage("no command given");
    std::string cmd = argv[1];
    const char *input = nullptr, *out = nullptr, *mtl = nullptr;
    for (int i = 2; i < argc; i++) {
        std::string a = argv[i];
        if ((a == "-o" || a == "--mtl") && i + 1 < argc)
            (a == "-o" ? out : mtl) = argv[++i];
        else if (a == "-o" || a == "--mtl")
            return bad_usage(("option " + a + " needs a file name").c_str());
        else if (a.size() > 1 && a[0] == '-')
            return bad_usage(("unknown option " + a).c_str());
        else if (!input)
            input = argv[i];
        else
            return bad_usage("more than one input file given");
    }
    if (cmd != "import" && cmd != "info" && cmd != "export")
        return bad_usage(("unknown command " + cmd).c_str());
    if (!input)
        return bad_usage("no input file given");
    if (cmd == "info") {
        if (out || mtl)
            return bad_usage("info takes no options");
        return cmd_info(input);
    }
    if (!out)
        return bad_usage((cmd + " needs -o FILE").c_str());
    if (cmd == "import")
        return cmd_import(input, mtl, out);
    if (mtl)
        return bad_usage("export takes no --mtl");
    return cmd_export(input, out);
}
