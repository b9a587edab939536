// The brick text writer and the closing wall.
//
// Words become one-layer brick volumes: one cell per pixel of a 9-pixel-high
// bitmap font, with a one-cell border, drawn centred on the current origin.
#include "bricks/bricks.h"

#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace {

enum {
    font_rows = 9,
    font_cols = 256,
    glyph_count = 36,  // a..z, then 0..9
    blank_width = 3,   // columns of a character the font has no glyph for
    volume_rows = 11,  // font rows plus a border row above and below
    volume_bytes = 11000,
    max_columns = volume_bytes / volume_rows,  // 1000: the widest string that fits
};

const unsigned char empty_pixel = 0xff;

// The glyphs as drawn: X a pixel, . an empty pixel, glyphs separated by a space,
// in the order a to z and 0 to 9. Rows 0 and 1 hold ascenders and the tops of the
// digits, rows 2 to 6 the body of the lower-case letters, rows 7 and 8 descenders.
const char *const glyph_pictures[font_rows] = {
    ".... X... .... ...X .... .... .... X... .X. ...X X... XX. ..... .... .... .... .... .... "
    ".... .X. .... ..... ..... ..... .... .... "
    "XXXX .X. XXXX XXXX X..X XXXX XXXX XXX XXXX XXXX",
    ".... X... .... ...X .... .... .... X... ... .... X... .X. ..... .... .... .... .... .... "
    ".... .X. .... ..... ..... ..... .... .... "
    "X..X XX. X..X ...X X..X X... X... ..X X..X X..X",
    "XXXX XXXX XXXX XXXX XXXX XXXX XXXX XXXX .X. ...X X..X .X. XXXXX XXX. XXXX XXXX XXXX XXXX "
    "XXXX XXX X..X X...X X.X.X X...X X..X XXXX "
    "X..X .X. ...X ...X X..X X... X... ..X X..X X..X",
    "...X X..X X... X..X X..X X... X..X X..X .X. ...X X.X. .X. X.X.X X..X X..X X..X X..X X..X "
    "X... .X. X..X X...X X.X.X .X.X. X..X ...X "
    "X..X .X. XXXX .XXX XXXX XXX. XXXX XXX XXXX XXXX",
    "XXXX X..X X... X..X XXXX XXXX X..X X..X .X. ...X XX.. .X. X.X.X X..X X..X X..X X..X X... "
    "XXXX .X. X..X X...X X.X.X ..X.. X..X .XX. "
    "X..X .X. X... ...X ...X ...X X..X ..X X..X ...X",
    "X..X X..X X... X..X X... X... XXXX X..X .X. ...X X.X. .X. X.X.X X..X X..X X..X X..X X... "
    "...X .X. X..X .X.X. X.X.X .X.X. X..X X... "
    "X..X .X. X... ...X ...X ...X X..X ..X X..X ...X",
    "XXXX XXXX XXXX XXXX XXXX X... X... X..X XXX X..X X..X XXX X.X.X X..X XXXX XXXX XXXX X... "
    "XXXX XXX XXXX ..X.. XXXXX X...X XXXX XXXX "
    "XXXX XXX XXXX XXXX ...X XXX. XXXX ..X XXXX XXXX",
    ".... .... .... .... .... .... XXXX .... ... .XX. .... ... ..... .... .... X... ...X .... "
    ".... ... .... ..... ..... ..... ...X .... "
    ".... ... .... .... .... .... .... ... .... ....",
    ".... .... .... .... .... .... .... .... ... .... .... ... ..... .... .... X... ...X .... "
    ".... ... .... ..... ..... ..... ...X .... "
    ".... ... .... .... .... .... .... ... .... ....",
};

struct font_image {
    unsigned char pixel[font_rows * font_cols];
};

// Lays the glyphs side by side from column 0. Every glyph's pixels carry one tag,
// alternating 0x00 and 0x94 so that neighbours differ; an end bar tagged 0x00
// follows the last glyph.
constexpr font_image build_font(void)
{
    font_image f{};
    for (int i = 0; i < font_rows * font_cols; i++)
        f.pixel[i] = empty_pixel;
    int end_column = 0;
    for (int r = 0; r < font_rows; r++) {
        int col = 0, glyph = 0;
        for (const char *p = glyph_pictures[r]; *p; p++) {
            if (*p == ' ') {
                glyph++;
                continue;
            }
            if (*p == 'X')
                f.pixel[r * font_cols + col] = (glyph % 2) ? 0x94 : 0x00;
            col++;
        }
        end_column = col;
    }
    for (int r = 0; r < font_rows; r++)
        f.pixel[r * font_cols + end_column] = 0x00;
    return f;
}

constexpr font_image font = build_font();

}  // namespace

const unsigned char *const fontdata = font.pixel;

static_assert(font.pixel[143] == 0x00 && font.pixel[8 * 256 + 143] == 0x00 &&
                  font.pixel[144] == 0xff,
              "the end bar closes glyph 35 at column 143");

// First column of each glyph, and of the end bar in the last entry.
static int off[glyph_count + 1];

// Cells of the string being drawn: volume_rows rows of w cells, row 0 on top.
static signed char volume[volume_bytes];
static int written_width;  // columns of the string in `volume`

void writer_init(void)
{
    int last_tag = -2, entries = 0;
    for (int c = 0; c < font_cols; c++) {
        for (int r = 0; r < font_rows; r++) {
            int pixel = fontdata[r * font_cols + c];
            if (pixel != empty_pixel && pixel != last_tag && entries <= glyph_count) {
                off[entries++] = c;
                last_tag = pixel;
            }
        }
    }
}

int glyph_offset(int k)
{
    return off[k];
}

// Glyph number of a character, or -1 for a blank.
static int glyph_of(unsigned char ch)
{
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a';
    if (ch >= '0' && ch <= '9')
        return 26 + ch - '0';
    return -1;
}

static int advance_of(unsigned char ch)
{
    int g = glyph_of(ch);
    return g < 0 ? blank_width : off[g + 1] - off[g] + 1;
}

// How many leading characters fit in the cell buffer, and the volume's width for them.
// Longer strings are cut after the last whole character that fits.
static int fitting_length(const char *text, int *width)
{
    int w = 1, n = 0;
    for (; text[n]; n++) {
        int a = advance_of((unsigned char)text[n]);
        if (w + a > max_columns)
            break;
        w += a;
    }
    *width = w;
    return n;
}

static void place_letters(const char *text, int length, int w)
{
    int col = 1;
    for (int n = 0; n < length; n++) {
        int g = glyph_of((unsigned char)text[n]);
        if (g < 0) {
            col += blank_width;
            continue;
        }
        int width = off[g + 1] - off[g];
        for (int r = 0; r < font_rows; r++)
            for (int x = 0; x < width; x++)
                if (fontdata[r * font_cols + off[g] + x] != empty_pixel)
                    volume[(r + 1) * w + col + x] = 1;
        col += width + 1;
    }
}

// Pattern over `count` colours; a count of 0 (a pattern bit without a colour
// count) gives the base colour alone instead of dividing by zero.
static int cycle(int value, int count)
{
    return count > 0 ? value % count : 0;
}

// Colour of a filled cell at row j, column i; the later rules override the earlier.
static int cell_colour(int colour, int mode, int j, int i, int w)
{
    int c = 1;
    if (mode >= 1 && mode <= 3)
        c = colour + (j * w + i) % mode;
    if (mode & 4)
        c = colour + cycle(j, mode & 3);
    if (mode & 8)
        c = colour + cycle(i, mode & 3);
    if (mode & 16)
        c = colour + cycle(i + j, mode & 3);
    return c;
}

void write_string(const char *text, int invert, int colour, int mode)
{
    int w;
    int length = fitting_length(text, &w);
    memset(volume, 0, (size_t)(volume_rows * w));
    place_letters(text, length, w);
    for (int j = 0; j < volume_rows; j++) {
        for (int i = 0; i < w; i++) {
            signed char &cell = volume[j * w + i];
            if (invert)
                cell = (signed char)(1 - cell);
            if (cell)
                cell = (signed char)cell_colour(colour, mode, j, i, w);
        }
    }
    written_width = w;
    draw_volume(1, 4, volume, w, volume_rows, 1);
}

const signed char *written_cells(int *width)
{
    *width = written_width;
    return volume;
}

// The closing wall's light 0: a white point light at (2, 6, 10) of the caller's frame.
static void valosotku(void)
{
    const GLfloat diffuse[4] = {1, 1, 1, 1};
    const GLfloat ambient[4] = {0.4f, 0.4f, 0.4f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    const GLfloat position[4] = {2, 6, 10, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
}

enum { wall_cols = 9, wall_rows = 11 };

void pathetic(float t, int colour)
{
    signed char blks[wall_cols * wall_rows];
    glPushMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    valosotku();

    // The same seed every call: the cells come and go in one fixed order, and
    // only t moves the wall. Bottom rows (high i) come first and go first.
    srand(1);
    for (int i = 0; i < wall_cols * wall_rows; i++) {
        blks[i] = 0;
        int c = (int)(70.0 * t + i - 25);
        if (c + rand() % 40 > 119)
            blks[i] = (signed char)(colour + i % 2);
        if (c + rand() % 40 > 259)
            blks[i] = 0;
    }

    glTranslatef(0, 0, -8.5f);
    glRotatef((float)(5 * cos(0.7 * t)), 0, 0, 1);
    draw_volume(1, 6, blks, wall_cols, wall_rows, 1);
    glPopMatrix();
}
