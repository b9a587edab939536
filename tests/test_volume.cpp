// Brick volumes: which bricks a small array of cells becomes, where, and what each shows.
#include <GL/gl.h>
#include <math.h>

#include <string>
#include <vector>

#include "bricks/bricks.h"
#include "test_lego_feedback.h"

namespace {

// A brick as seen in the feedback: its body's centre, width and the parts it shows.
struct brick {
    float x, y, z;
    int width;
    bool studs;   // studs and a top face
    bool bottom;  // rim, hollow and tubes
};

bool near(float a, float b)
{
    return fabsf(a - b) < 2e-3f;
}

void bounds(const polygon &p, vec3 &lo, vec3 &hi)
{
    lo = hi = p.v[0];
    for (const vec3 &v : p.v) {
        lo = {fminf(lo.x, v.x), fminf(lo.y, v.y), fminf(lo.z, v.z)};
        hi = {fmaxf(hi.x, v.x), fmaxf(hi.y, v.y), fmaxf(hi.z, v.z)};
    }
}

// Finds the bricks by their front faces (facing +z, a full 1.2 high), in the order
// they were drawn, then looks for stud caps above and rims below each.
std::vector<brick> bricks_drawn(const std::vector<polygon> &polys)
{
    std::vector<brick> out;
    for (const polygon &p : polys) {
        vec3 lo, hi;
        bounds(p, lo, hi);
        if (p.normal.z < 0.999f || !near(hi.y - lo.y, 1.2f))
            continue;
        brick b = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, lo.z - 1, (int)lroundf(hi.x - lo.x),
                   false, false};
        if (!out.empty() && near(out.back().x, b.x) && near(out.back().y, b.y) &&
            near(out.back().z, b.z))
            continue;  // the second triangle of the same face
        out.push_back(b);
    }
    for (brick &b : out) {
        for (const polygon &p : polys) {
            vec3 lo, hi;
            bounds(p, lo, hi);
            float half = b.width / 2.0f + 1e-3f;
            bool inside = lo.x > b.x - half && hi.x < b.x + half && lo.z > b.z - 1 - 1e-3f &&
                          hi.z < b.z + 1 + 1e-3f;
            if (inside && near(lo.y, b.y + 0.85f) && near(hi.y, b.y + 0.85f))
                b.studs = true;
            if (inside && near(lo.y, b.y - 0.6f) && near(hi.y, b.y - 0.6f) && p.normal.y < -0.99f)
                b.bottom = true;
        }
    }
    return out;
}

// Cells written as text: layers separated by '/', rows by '|', one digit per cell.
struct cells {
    std::vector<signed char> v;
    int sx = 0, sy = 0, sz = 0;
};

cells parse(const std::string &text)
{
    cells c;
    int row_len = 0, rows = 0;
    c.sz = 1;
    for (char ch : text) {
        if (ch == '/') {
            c.sz++;
            c.sy = rows + 1;
            rows = 0;
            row_len = 0;
        } else if (ch == '|') {
            rows++;
            c.sx = row_len;
            row_len = 0;
        } else {
            c.v.push_back((signed char)(ch - '0'));
            row_len++;
        }
    }
    c.sx = row_len;
    c.sy = rows + 1;
    return c;
}

struct volume_case {
    const char *what;
    std::string cells;
    int centre, segments;
    std::vector<brick> expect;  // in drawing order
};

const float p = 1.176f;  // row pitch

const volume_case cases[] = {
    {"one cell, centred", "3", 1, 4, {{0, 0, 0, 2, true, true}}},
    {"three equal cells: a pair, then a single", "222", 0, 4,
     {{1, 0, 0, 4, true, true}, {4, 0, 0, 2, true, true}}},
    {"different colours never merge", "24", 0, 4,
     {{0, 0, 0, 2, true, true}, {2, 0, 0, 2, true, true}}},
    {"stacked: studs only on top, underside only below", "1|1", 0, 4,
     {{0, 0, 0, 2, true, false}, {0, -p, 0, 2, false, true}}},
    {"a pair under one filled cell keeps its studs", "10|22", 0, 4,
     {{0, 0, 0, 2, true, false}, {1, -p, 0, 4, true, true}}},
    {"a pair under two filled cells loses them", "11|22", 0, 4,
     {{1, 0, 0, 4, true, false}, {1, -p, 0, 4, false, true}}},
    {"segments 0: no studs, no undersides", "5|5", 0, 0,
     {{0, 0, 0, 2, false, false}, {0, -p, 0, 2, false, false}}},
    {"solid 3x3x3: every row a pair and a single, the centre drawn by its pair",
     "111|111|111/111|111|111/111|111|111", 0, 4,
     {{1, 0, 0, 4, true, false}, {4, 0, 0, 2, true, false},
      {1, -p, 0, 4, false, false}, {4, -p, 0, 2, false, false},
      {1, -2 * p, 0, 4, false, true}, {4, -2 * p, 0, 2, false, true},
      {1, 0, -2, 4, true, false}, {4, 0, -2, 2, true, false},
      {1, -p, -2, 4, false, false}, {4, -p, -2, 2, false, false},
      {1, -2 * p, -2, 4, false, true}, {4, -2 * p, -2, 2, false, true},
      {1, 0, -4, 4, true, false}, {4, 0, -4, 2, true, false},
      {1, -p, -4, 4, false, false}, {4, -p, -4, 2, false, false},
      {1, -2 * p, -4, 4, false, true}, {4, -2 * p, -4, 2, false, true}}},
    // Middle layer: the centre cell (value 2) is enclosed and skipped; the cell right
    // of it has an empty cell above, so it is examined and pairs with its neighbour.
    {"an enclosed cell is skipped, its right neighbour still pairs",
     "1111|1111|1111/1101|1233|1111/1111|1111|1111", 0, 4,
     {{1, 0, 0, 4, true, false}, {5, 0, 0, 4, true, false},
      {1, -p, 0, 4, false, false}, {5, -p, 0, 4, false, false},
      {1, -2 * p, 0, 4, false, true}, {5, -2 * p, 0, 4, false, true},
      {1, 0, -2, 4, true, false}, {6, 0, -2, 2, true, false},
      {0, -p, -2, 2, false, false}, {5, -p, -2, 4, true, false},
      {1, -2 * p, -2, 4, false, true}, {5, -2 * p, -2, 4, false, true},
      {1, 0, -4, 4, true, false}, {5, 0, -4, 4, true, false},
      {1, -p, -4, 4, false, false}, {5, -p, -4, 4, false, false},
      {1, -2 * p, -4, 4, false, true}, {5, -2 * p, -4, 4, false, true}}},
    // Centring: exact along x and z, 0.012 per row above centred along y.
    {"centring 2x3x2", "11|11|11/11|11|11", 1, 4,
     {{0, 1.2f, 1, 4, true, false}, {0, 1.2f - p, 1, 4, false, false},
      {0, 1.2f - 2 * p, 1, 4, false, true}, {0, 1.2f, -1, 4, true, false},
      {0, 1.2f - p, -1, 4, false, false}, {0, 1.2f - 2 * p, -1, 4, false, true}}},
};

}  // namespace

TEST(Volume, CellsBecomeTheRightBricks)
{
    for (const volume_case &c : cases) {
        SCOPED_TRACE(c.what);
        cells v = parse(c.cells);
        ASSERT_EQ((int)v.v.size(), v.sx * v.sy * v.sz);
        auto polys = capture_polygons(
            [&] { draw_volume(c.centre, c.segments, v.v.data(), v.sx, v.sy, v.sz); }, 14);
        std::vector<brick> got = bricks_drawn(polys);
        ASSERT_EQ(got.size(), c.expect.size());
        for (size_t i = 0; i < got.size(); i++) {
            const brick &g = got[i], &e = c.expect[i];
            SCOPED_TRACE(testing::Message() << "brick " << i);
            EXPECT_NEAR(g.x, e.x, 2e-3);
            EXPECT_NEAR(g.y, e.y, 2e-3);
            EXPECT_NEAR(g.z, e.z, 2e-3);
            EXPECT_EQ(g.width, e.width);
            EXPECT_EQ(g.studs, e.studs);
            EXPECT_EQ(g.bottom, e.bottom);
        }
    }
}

TEST(Volume, PaletteColourMatrixAndEmptySizes)
{
    need_gl_context(256, 192);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3, 2, 1);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (int c = 1; c <= 6; c++) {
        signed char cell = (signed char)c;
        draw_volume(1, 4, &cell, 1, 1, 1);
        GLfloat diffuse[4];
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        for (int i = 0; i < 3; i++)
            EXPECT_FLOAT_EQ(diffuse[i], lclr[c][i]) << "colour " << c;
    }
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(before[i], after[i]);

    // The palette as the text and volumes name it.
    const float want[7][3] = {{-1, -1, -1}, {1, 1, 0},          {1, 0.1f, 0},     {1, 1, 1},
                              {0.05f, 0.05f, 0.9f}, {0.3f, 0.7f, 0.2f}, {0, 0, 0}};
    for (int c = 0; c < 7; c++)
        for (int i = 0; i < 3; i++)
            EXPECT_FLOAT_EQ(lclr[c][i], want[c][i]);

    // Empty cells and sizes of 0 draw nothing.
    signed char empty[8] = {0};
    EXPECT_TRUE(capture_polygons([&] { draw_volume(1, 4, empty, 2, 2, 2); }).empty());
    EXPECT_TRUE(capture_polygons([&] { draw_volume(1, 4, empty, 0, 0, 0); }).empty());
}
