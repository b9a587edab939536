// Brick volumes: cells of palette indices drawn as bricks, hidden ones left out.
//
// Cell (i, j, k) of an sx x sy x sz array is byte i + sx * (j + sy * k); columns run
// along +x with a pitch of 2, rows down -y with a pitch of 1.176 (bricks are 1.2 high,
// so neighbouring rows overlap by 0.024), layers along -z with a pitch of 2.
#include "bricks/bricks.h"

#include <GL/gl.h>

// Colour of each cell value; entry 0 is the empty cell and never drawn.
const float lclr[7][3] = {
    {-1, -1, -1},      // 0 empty
    {1, 1, 0},         // 1 yellow
    {1, 0.1f, 0},      // 2 red
    {1, 1, 1},         // 3 white
    {0.05f, 0.05f, 0.9f},  // 4 blue
    {0.3f, 0.7f, 0.2f},    // 5 green
    {0, 0, 0},         // 6 black
};

static const float row_pitch = 1.176f;

namespace {
struct volume {
    const signed char *cells;
    int sx, sy, sz;
    int at(int i, int j, int k) const { return cells[i + sx * (j + sy * k)]; }
};
}  // namespace

// A cell strictly inside the array whose six neighbours are all filled cannot be
// seen. Neighbours are only read once the cell is known to be inside.
static bool enclosed(const volume &v, int i, int j, int k)
{
    if (i <= 0 || i >= v.sx - 1 || j <= 0 || j >= v.sy - 1 || k <= 0 || k >= v.sz - 1)
        return false;
    return v.at(i - 1, j, k) && v.at(i + 1, j, k) && v.at(i, j - 1, k) && v.at(i, j + 1, k) &&
           v.at(i, j, k - 1) && v.at(i, j, k + 1);
}

static void brick(int width, int top, int bottom, int c)
{
    lego(width, 2, 1, top, bottom, lclr[c][0], lclr[c][1], lclr[c][2]);
}

// One row of one layer, left to right: equal neighbours pair up greedily into
// 4 x 2 bricks; studs under a filled row and undersides over one are left out.
static void draw_row(const volume &v, int segments, int j, int k)
{
    for (int i = 0; i < v.sx; i++) {
        int c = v.at(i, j, k);
        if (c != 0 && !enclosed(v, i, j, k)) {
            if (i < v.sx - 1 && v.at(i + 1, j, k) == c) {
                bool covered = j > 0 && v.at(i, j - 1, k) && v.at(i + 1, j - 1, k);
                bool resting = j < v.sy - 1 && v.at(i, j + 1, k) && v.at(i + 1, j + 1, k);
                glTranslatef(1, 0, 0);
                brick(4, covered ? 0 : segments, resting ? 0 : segments, c);
                glTranslatef(1, 0, 0);
                i++;  // the right cell belongs to this brick
            } else {
                bool covered = j > 0 && v.at(i, j - 1, k);
                bool resting = j < v.sy - 1 && v.at(i, j + 1, k);
                brick(2, covered ? 0 : segments, resting ? 0 : segments, c);
            }
        }
        glTranslatef(2, 0, 0);
    }
}

void draw_volume(int centre, int segments, const signed char *cells, int sx, int sy, int sz)
{
    const volume v = {cells, sx, sy, sz};
    glPushMatrix();
    // Exact along x and z; along y half of 1.2 per row rather than of the row
    // pitch, so the volume sits 0.012 per row above centred.
    if (centre)
        glTranslatef((float)(1 - sx), (sy - 1) * 0.6f, (float)(sz - 1));
    for (int k = 0; k < sz; k++) {
        glPushMatrix();
        for (int j = 0; j < sy; j++) {
            glPushMatrix();
            draw_row(v, segments, j, k);
            glPopMatrix();
            glTranslatef(0, -row_pitch, 0);
        }
        glPopMatrix();
        glTranslatef(0, 0, -2);
    }
    glPopMatrix();
}
