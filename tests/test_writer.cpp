// The brick text writer: the font's glyph columns, string widths, inversion, colouring, limits.
#include <GL/gl.h>

#include <string>
#include <vector>

#include "bricks/bricks.h"
#include "test_lego_feedback.h"

namespace {

// Writes a string in feedback mode with a one-value buffer, so nothing reaches the
// picture, and returns its cells as text rows ('.' empty, else the colour digit).
std::vector<std::string> rows_of(const char *text, int invert, int colour, int mode, int *w)
{
    writer_init();
    need_gl_context(256, 192);
    GLfloat sink[1];
    glFeedbackBuffer(1, GL_3D, sink);
    glRenderMode(GL_FEEDBACK);
    write_string(text, invert, colour, mode);
    glRenderMode(GL_RENDER);
    const signed char *cells = written_cells(w);
    std::vector<std::string> rows;
    for (int j = 0; j < 11; j++) {
        std::string r;
        for (int i = 0; i < *w; i++)
            r += cells[j * *w + i] ? (char)('0' + cells[j * *w + i]) : '.';
        rows.push_back(r);
    }
    return rows;
}

}  // namespace

TEST(Writer, GlyphColumnsFromTheFont)
{
    const int want[37] = {0,  4,  8,  12, 16, 20, 24, 28, 32,  35,  39,  43,  46,
                          51, 55, 59, 63, 67, 71, 75, 78, 82,  87,  92,  97,  101,
                          105, 109, 112, 116, 120, 124, 128, 132, 135, 139, 143};
    writer_init();
    for (int k = 0; k < 37; k++)
        EXPECT_EQ(glyph_offset(k), want[k]) << "glyph " << k;
    writer_init();  // running it again finds the same columns
    EXPECT_EQ(glyph_offset(36), 143);

    // Tags alternate between neighbours; the end bar fills column 143; the rest is empty.
    for (int r = 0; r < 9; r++) {
        EXPECT_EQ(fontdata[r * 256 + 143], 0x00);
        for (int c = 144; c < 256; c++)
            ASSERT_EQ(fontdata[r * 256 + c], 0xff) << r << "," << c;
        for (int k = 0; k < 36; k++)
            for (int c = want[k]; c < want[k + 1]; c++) {
                int px = fontdata[r * 256 + c];
                EXPECT_TRUE(px == 0xff || px == (k % 2 ? 0x94 : 0x00)) << "glyph " << k;
            }
    }
}

TEST(Writer, GlyphsLandInRowsOneToNine)
{
    struct {
        const char *text;
        std::vector<std::string> rows;
    } cases[] = {
        {"j", {"......", "....1.", "......", "....1.", "....1.", "....1.", "....1.",
               ".1..1.", "..11..", "......", "......"}},
        {"m", {".......", ".......", ".......", ".11111.", ".1.1.1.", ".1.1.1.", ".1.1.1.",
               ".1.1.1.", ".......", ".......", "......."}},
        {"7", {".....", ".111.", "...1.", "...1.", ".111.", "...1.", "...1.", "...1.",
               ".....", ".....", "....."}},
    };
    for (const auto &c : cases) {
        int w;
        EXPECT_EQ(rows_of(c.text, 0, 1, 1, &w), c.rows) << c.text;
    }
}

TEST(Writer, Widths)
{
    const struct {
        std::string text;
        int w;
    } cases[] = {
        {"", 1},
        {"a b", 14},              // 1 + 5 + 3 + 5
        {"A", 4},                 // anything but a-z and 0-9 is a 3-column blank
        {"i!", 8},
        {"tavio", 25},
        {"bybybybyby", 51},       // the widest text of the show
        {"     xj     ", 1 + 15 + 6 + 5 + 15},
        {"\xe9", 4},              // bytes above 127 too
        {std::string(333, ' '), 1000},   // exactly fills the cell buffer
        {std::string(334, ' '), 1000},   // one blank too many: cut
        {std::string(2000, 'a'), 996},   // cut after the last whole letter: 1 + 199 * 5
        {std::string(2000, 'w'), 997},   // 1 + 166 * 6
    };
    for (const auto &c : cases) {
        int w;
        std::vector<std::string> rows = rows_of(c.text.c_str(), 1, 3, 18, &w);
        EXPECT_EQ(w, c.w) << "'" << c.text.substr(0, 12) << "' (" << c.text.size() << ")";
        // With inversion the border is solid: every cell of row 0 and column 0 is filled.
        EXPECT_EQ(rows[0].find('.'), std::string::npos);
        for (int j = 0; j < 11; j++)
            EXPECT_NE(rows[j][0], '.');
    }
}

TEST(Writer, InversionAndColouringModes)
{
    const struct {
        const char *text;
        int invert, colour, mode;
        std::vector<std::string> rows;
    } cases[] = {
        {"i", 0, 2, 1, {".....", "..2..", ".....", "..2..", "..2..", "..2..", "..2..", ".222.",
                        ".....", ".....", "....."}},
        // Inverted, a checkerboard of 3 and 4 from the top-left corner.
        {"i", 1, 3, 18, {"34343", "43.34", "34343", "43.34", "34.43", "43.34", "34.43", "4...4",
                         "34343", "43434", "34343"}},
        // colour + (j * 5 + i) mod 2
        {"i", 0, 2, 2, {".....", "..3..", ".....", "..3..", "..2..", "..3..", "..2..", ".232.",
                        ".....", ".....", "....."}},
        // bit 4: by rows, over 2 colours
        {"i", 0, 2, 6, {".....", "..3..", ".....", "..3..", "..2..", "..3..", "..2..", ".333.",
                        ".....", ".....", "....."}},
        // bit 8: by columns, over 3 colours
        {"i", 0, 1, 11, {".....", "..3..", ".....", "..3..", "..3..", "..3..", "..3..", ".231.",
                         ".....", ".....", "....."}},
        // no rule matches: palette colour 1
        {"i", 0, 5, 0, {".....", "..1..", ".....", "..1..", "..1..", "..1..", "..1..", ".111.",
                        ".....", ".....", "....."}},
        // A pattern bit over (mode & 3) = 0 colours gives the base colour, no division.
        {"i", 0, 4, 16, {".....", "..4..", ".....", "..4..", "..4..", "..4..", "..4..", ".444.",
                         ".....", ".....", "....."}},
    };
    for (const auto &c : cases) {
        int w;
        EXPECT_EQ(rows_of(c.text, c.invert, c.colour, c.mode, &w), c.rows)
            << "invert " << c.invert << " colour " << c.colour << " mode " << c.mode;
    }
}

TEST(Writer, DrawsTheCellsAsBricks)
{
    writer_init();
    // "l" is a 4 x 2 brick on top, five single bricks, and a pair and a single at the foot;
    // "A" is a blank: no bricks; inverted, an empty string is one column of 11 bricks.
    const struct {
        const char *text;
        int invert, bricks;
    } cases[] = {{"l", 0, 8}, {"A", 0, 0}, {"", 1, 11}};
    for (const auto &c : cases) {
        auto polys = capture_polygons([&] { write_string(c.text, c.invert, 2, 1); }, 14);
        int fronts = 0;
        for (const polygon &p : polys) {
            float lo = p.v[0].y, hi = p.v[0].y;
            for (const vec3 &v : p.v) {
                lo = fminf(lo, v.y);
                hi = fmaxf(hi, v.y);
            }
            if (p.normal.z > 0.999f && fabsf(hi - lo - 1.2f) < 2e-3f)
                fronts++;
        }
        EXPECT_EQ(fronts, 2 * c.bricks) << "'" << c.text << "': two triangles per front face";
    }
}
