// The brick faces: a 16 x 16 picture of 2 x 2 bricks that fall, tumbling, onto a red plate.
#include <GL/gl.h>
#include <stdlib.h>

#include "bricks/bricks.h"
#include "effects/effects.h"

enum {
    SIDE = 16,             // a picture is 16 x 16 cells
    PICTURES = 3,
    ROW_BYTES = SIDE * PICTURES,  // one picture row of each of the three pictures
    HANG = 30,             // height in plate units at which a brick waits
};

// The three pictures side by side, row 0 (the top) first: # a set cell, . a clear one.
static constexpr char drawn_rows[SIDE][ROW_BYTES + 1] = {
    "####.......#####" "#######....#####" "#####......#####",
    "###.........####" "#####.......####" "####........####",
    "##.....#.....###" "####...#.....###" "####........####",
    "##...........###" "###...###....###" "####........####",
    "##....#####..###" "###..#####..#.##" "####....###.####",
    "##...######...##" "##...########.##" "##............##",
    "#.......#.....##" "#.##.###..#....#" "###...######.###",
    "#.....#.####...#" "#.##..#...#...##" "###..#...#..####",
    "#....##..###..##" "#..#.######.#.##" "###..#.#.#.#####",
    "......#.###...##" "##.#.######.#.##" "####..##.#######",
    "#.........#....#" "##....####..#.##" "####...#...#####",
    "#......###....##" "###...##.....###" "#####.....######",
    "###.........####" "####...#####.###" "#####...########",
    "####........#.##" "####...#.....###" "####......#.####",
    "###.....#..##.##" "#####........###" "###.....##...###",
    "##.....#...#.###" "######......####" "##.....####..###",
};

struct face_bytes {
    unsigned char cell[NAAMAT_BYTES];
};

// One byte per cell, 255 set and 0 clear, laid out as the drawing above.
static constexpr face_bytes to_bytes(const char (&rows)[SIDE][ROW_BYTES + 1])
{
    face_bytes f{};
    for (int r = 0; r < SIDE; r++)
        for (int i = 0; i < ROW_BYTES; i++)
            f.cell[r * ROW_BYTES + i] = rows[r][i] == '#' ? 255 : 0;
    return f;
}

static constexpr face_bytes faces = to_bytes(drawn_rows);
const unsigned char *const naamadata = faces.cell;

static int lists;  // five lists: set brick in the air, landed; clear in the air, landed; plate

void naamat_init(void)
{
    lists = (int)glGenLists(5);
    glNewList(lists + 0, GL_COMPILE);
    lego(2, 2, 1, 5, 3, 1.0f, 1.0f, 1.0f);
    glEndList();
    glNewList(lists + 1, GL_COMPILE);
    lego(2, 2, 1, 5, 0, 1.0f, 1.0f, 1.0f);  // a landed brick hides its underside
    glEndList();
    glNewList(lists + 2, GL_COMPILE);
    lego(2, 2, 1, 5, 3, 0.0f, 0.0f, 0.0f);
    glEndList();
    glNewList(lists + 3, GL_COMPILE);
    lego(2, 2, 1, 5, 0, 0.0f, 0.0f, 0.0f);
    glEndList();
    glNewList(lists + 4, GL_COMPILE);
    lego(42, 42, 1, 4, 0, 1.0f, 0.1f, 0.0f);
    glEndList();
}

face_brick naamat_layout(void)
{
    face_brick b;
    b.start = (rand() % 640) * 0.0125;
    b.jx = (float)((rand() % 3) * 0.016666666666666666);
    b.jz = (float)((rand() % 20) * 0.016666666666666666);
    b.turn = (float)(rand() % 20 - 10);
    return b;
}

float naamat_height(double start, float t)
{
    float d = (float)(start - t);
    float h = d <= 0 ? d : 0;
    float y = HANG - 10.0f * h * h;
    return y < 0 ? 0 : y;
}

int naamat_list(int set, float y)
{
    int landed = y == 0.0f;  // exactly: a brick a hair above the plate still shows its underside
    return (set ? 0 : 2) + landed;
}

// Cells outside the three pictures (a `which` other than 0, 1 or 2) count as clear.
static int cell_set(int which, int r, int c)
{
    if (which < 0 || which >= PICTURES)
        return 0;
    return naamadata[r * ROW_BYTES + SIDE * which + c] != 0;
}

// A white point light up and to the right of the viewer, in the caller's frame.
static void valosotku(void)
{
    static const GLfloat white[] = {1, 1, 1, 1};
    static const GLfloat black[] = {0, 0, 0, 1};
    static const GLfloat position[] = {10, 10, 2, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

static void draw_brick(float t, int set)
{
    face_brick b = naamat_layout();
    float y = naamat_height(b.start, t);
    glPushMatrix();
    glTranslatef(0, y, 0);
    glTranslatef(b.jx, 0, b.jz);
    glRotatef(b.turn, 0, 1, 0);
    glRotatef(10 * y, 1, 0.5f, 0);  // the tumble: 300 degrees while waiting, none once down
    glCallList(lists + naamat_list(set, y));
    glPopMatrix();
}

void naamat(float t, int which, float angle)
{
    glPushMatrix();
    srand((unsigned)which);  // the same layout in every frame, whatever used rand before
    brick_state(3);
    valosotku();
    // Stand the plate up 28 units in front: its normal, along which the bricks fall,
    // points at the viewer, picture row 0 at the top and column 0 at the left.
    glTranslatef(0, 0, -28);
    glRotatef(90, 1, 0, 0);
    glRotatef(angle, 0, 1, 0);
    glCallList(lists + 4);
    glTranslatef(0, 1, 0);
    glTranslatef(0, 0, -18.75f);
    for (int r = 0; r < SIDE; r++) {
        glPushMatrix();
        glTranslatef(-18.75f, 0, 0);
        for (int c = 0; c < SIDE; c++) {
            draw_brick(t, cell_set(which, r, c));
            glTranslatef(2.5f, 0, 0);
        }
        glPopMatrix();
        glTranslatef(0, 0, 2.5f);
    }
    glPopMatrix();
}
