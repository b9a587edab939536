// Wavefront OBJ and MTL text: the import of modelled figures, and the export of a scene.
//
// OBJ lines read: "v x y z", "vn x y z", "mtllib path", "o name", "g name",
// "usemtl name", "f v/t/n v//n ..." (1-based indices; negative ones count back
// from the last vertex or normal read so far). MTL lines read: "newmtl name",
// "Ka r g b", "Kd r g b", "Ks r g b" (0..1), "Ns exponent" (0..128), "d opacity".
// Comments ("#...") and other keywords are skipped. Names have no blanks and at
// most 999 bytes. Every other fault is refused with its file and line in err.
#pragma once

#include "models/scene.h"

// Builds a scene from OBJ text (cut into lines in place). The materials come
// from `mtl` when given, else from the file its "mtllib" line names, looked up
// as written and then beside `obj_path`. -1 with s untouched on any fault.
int get_scene(scene *s, char *text, char *mtl = nullptr, const char *obj_path = nullptr,
              load_error *err = nullptr);

// Adds the materials of an MTL text (cut in place) at the head of the scene's list.
int get_mtl(scene *s, char *text, load_error *err = nullptr);

// Reads and imports an OBJ file; -1 with s untouched on any fault.
int load_scene(scene *s, const char *path, load_error *err = nullptr);

// Writes the scene as OBJ text and its MTL library, records in list order: a
// scene decoded from a dump comes out as the text that imports to that same
// dump. Both files are whole or absent afterwards.
int export_obj(const scene *s, const char *obj_path, const char *mtl_path, load_error *err = nullptr);

// A whole file in a NUL-terminated heap buffer, or null.
char *read_text_file(const char *path);
