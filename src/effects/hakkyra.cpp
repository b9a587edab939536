// The contraption: three nested box frames of bricks, each rocking on its own phase while
// the whole assembly tumbles.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"

// First of three consecutive display lists; list lists + m holds frame m (0 innermost).
static int lists;

enum { FRAMES = 3, FRAME_CELLS = 8000 };  // cells reserved per frame volume (7 x 11 x 7 = 539 used)

// A white point light 2 units behind the caller's origin, faintly attenuated.
static void valosotku(void)
{
    static const float diffuse[] = {1, 1, 1, 1};
    static const float ambient[] = {0, 0, 0, 1};
    static const float specular[] = {1, 1, 1, 1};
    static const float position[] = {0, 0, 2, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.001f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
}

// Frame m is a box of s columns, h rows and s layers of which only the twelve edges are
// filled: a cell on two or more of the six outer faces is an edge cell. Edge cells
// alternate red (2) and white (3), so neighbours never merge into longer bricks.
static void fill_frame(signed char *cells, int s, int h)
{
    for (int k = 0; k < s; k++)
        for (int j = 0; j < h; j++)
            for (int i = 0; i < s; i++) {
                int faces = (i == 0) + (i == s - 1) + (j == 0) + (j == h - 1) + (k == 0) +
                            (k == s - 1);
                cells[i + s * (j + h * k)] =
                    faces >= 2 ? (signed char)((i + j + k) % 2 + 2) : 0;
            }
}

void hakkyra_init(void)
{
    static signed char blk[FRAMES * FRAME_CELLS];
    lists = (int)glGenLists(FRAMES);
    for (int m = 0; m < FRAMES; m++) {
        int s = 1 + 3 * m, h = 1 + 5 * m;
        signed char *cells = blk + m * FRAME_CELLS;
        fill_frame(cells, s, h);
        glNewList(lists + m, GL_COMPILE);
        draw_volume(1, 8, cells, s, h, s);
        glEndList();
    }
}

void hakkyra(float t)
{
    glPushMatrix();
    brick_state(3);
    valosotku();

    glTranslatef(0, 0, -14);
    glRotatef(30 * t, 1, 0, 0);
    // Each outer frame rocks one radian of phase behind the frame inside it.
    for (int m = 0; m < FRAMES; m++) {
        glPushMatrix();
        glRotatef((float)(40 * sin((float)(3 * t - m))), 0, 0, 1);
        glRotatef((float)(15 * sin(1.1 * t - m)), 0, 1, 0);
        glCallList(lists + m);
        glPopMatrix();
    }
    glPopMatrix();
}
