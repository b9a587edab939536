// Brick geometry: the studded brick, volumes of bricks, text written in bricks, the closing wall.
#pragma once

// Palette of brick colours indexed by cell value: 1 yellow, 2 red, 3 white,
// 4 blue, 5 green, 6 black; 0 is an empty cell. Each entry is r, g, b in 0..1.
extern const float lclr[7][3];

void lego_init(void);
// The state every brick effect starts from and leaves set: lighting, smooth shading,
// back faces culled, depth test, light 0 on and lights 1 to `last_light_off` off.
void brick_state(int last_light_off);
// One brick of width x depth studs; see lego.cpp for the units and the geometry.
void lego(int width, int depth, int centre, int top, int bottom, float r, float g, float b);

// A volume of sx columns, sy rows and sz layers of palette indices, drawn as bricks.
void draw_volume(int centre, int segments, const signed char *cells, int sx, int sy, int sz);

// The text font: 9 rows of 256 columns, one byte per pixel, row 0 on top; 0xff is
// an empty pixel, any other byte the tag of the glyph the pixel belongs to.
extern const unsigned char *const fontdata;

// Finds where each glyph starts in the font; call once before write_string.
void writer_init(void);
// First font column of glyph k (0..25 a..z, 26..35 0..9); k = 36 gives the end bar.
int glyph_offset(int k);
// A word in bricks, centred on the current origin. `invert` non-zero cuts the letters
// out of a slab; `colour` is the base palette index; `mode` the colouring pattern:
// 1..3 cycle `colour` + (cell index mod mode), bit 4 by rows, bit 8 by columns,
// bit 16 diagonally (18: a checkerboard of `colour` and `colour` + 1), each over
// (mode & 3) colours; other modes give palette colour 1. Strings wider than 1000
// columns are cut after the last whole character that fits.
void write_string(const char *text, int invert, int colour, int mode);

// The cells the last write_string drew: 11 rows of *width cells, row 0 on top.
const signed char *written_cells(int *width);

// The finale's wall for clock value t, in palette colours colour and colour + 1.
void pathetic(float t, int colour);
