// Model dumps: the compact little-endian byte form in which the show carries its models.
//
// Layout (no alignment, no gaps):
//   scale     u16   fixed-point scale, 1..32767; a coordinate is stored as trunc(value * scale)
//   V         u32   vertex count, then V * (x, y, z) as s16
//   N         u32   normal count, then N * (x, y, z) as s16
//   records, each opened by a tag byte:
//     'm' name\0, 11 x f32: ambient rgb, diffuse rgb, specular rgb, d, ns
//     'o' name\0                      starts an object
//     'g' name\0 material\0 F:u16, then F faces of: n:u8, n x vertex u16, n x normal u16
//     'q'                             the end; nothing after it is read
//   Any other tag byte is passed over. Names are at most 999 bytes.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include "models/scene.h"

// Writes the scene as a dump, whole or not at all (through a temporary file).
// -1 when s is null, the scene does not fit the format, or the file cannot be
// written; the reason goes to err when given.
int dump_scene(const scene *s, const char *path, load_error *err = nullptr);

// Builds a scene from `size` bytes of dump. On any fault (truncated data, no end
// record, an index out of range, an unknown material, a pivot without marker, a
// light without geometry, more than eight lights) returns -1 with s untouched
// and the byte offset in err.
int get_dump(scene *s, const unsigned char *data, size_t size, load_error *err = nullptr);

// Reads a dump file; -1 when it cannot be read or get_dump refuses it.
int load_dump(scene *s, const char *path, load_error *err = nullptr);

// Byte primitives, least significant byte first.
void writeint(FILE *f, unsigned value, int nbytes);
void writefloat(FILE *f, float x);
