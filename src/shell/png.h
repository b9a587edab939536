// PNG files of 8-bit RGB pictures: written by the capture tool, read back by tests.
#pragma once

#include <vector>

// Writes width x height RGB pixels (rows top to bottom) to `path`, through a
// temporary file renamed into place, so the file is whole or absent. 0 or -1.
int png_write(const char *path, int width, int height, const unsigned char *rgb);

// Reads an 8-bit RGB or RGBA, non-interlaced PNG into RGB pixels. 0 or -1.
int png_read(const char *path, int *width, int *height, std::vector<unsigned char> &rgb);
