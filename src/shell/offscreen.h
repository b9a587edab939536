// An offscreen OpenGL context for tests and tools: EGL on Mesa's surfaceless platform.
#pragma once

// Makes a desktop OpenGL (compatibility profile) context current, drawing into a
// width x height pbuffer with 8-bit RGBA and a 24-bit depth buffer.
// Returns 0, or -1 with the reason in offscreen_error().
int offscreen_open(int width, int height);
void offscreen_close(void);
const char *offscreen_error(void);

// Reads the colour buffer as RGB, rows top to bottom (width * height * 3 bytes).
void offscreen_read_rgb(int width, int height, unsigned char *rgb);
