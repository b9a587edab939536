// The brick tunnel: six copies of one ring slab streaming past the viewer, twisting and wobbling.
#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "bricks/bricks.h"
#include "effects/effects.h"

enum {
    SLAB_SIDE = 40,                  // the slab is 40 x 40 cells in one layer
    SLAB_CELLS = SLAB_SIDE * SLAB_SIDE,
    RING_CENTRE = 20 * SLAB_SIDE + 20,  // the cell of row 20, column 20
    STRAY_BRICKS = 10,
    RINGS = 6,
};

static int list;  // display list of the slab

// The ring is traced as a 10 x 6 ellipse of cells in steps of 0.02 radians; the
// colour follows the cell index, so it runs diagonally and never repeats sideways.
static void trace_ring(signed char *cells)
{
    for (double a = 0; a <= 2 * M_PI; a += 0.02) {
        int dy = (int)(0.5 * sin(a) * 10);
        int dx = (int)(0.5 * cos(a) * 6 - 0.5);
        int index = SLAB_SIDE * dy + dx + RING_CENTRE;
        if (index >= 0 && index < SLAB_CELLS)
            cells[index] = (signed char)(index % 3 + 2);
    }
}

// Ten yellow or red bricks anywhere on the slab, possibly over the ring. They
// continue the C library's sequence wherever the start-up has left it.
static void scatter_strays(signed char *cells)
{
    for (int i = 0; i < STRAY_BRICKS; i++) {
        int p = rand() % SLAB_CELLS;  // position first, then colour
        int v = rand() % 2 + 1;
        cells[p] = (signed char)v;
    }
}

void tunneli_slab(signed char *cells)
{
    memset(cells, 0, SLAB_CELLS);
    trace_ring(cells);
    scatter_strays(cells);
}

void tunneli_init(void)
{
    static signed char tau[SLAB_CELLS];
    list = (int)glGenLists(1);
    tunneli_slab(tau);
    glNewList(list, GL_COMPILE);
    draw_volume(1, 6, tau, SLAB_SIDE, SLAB_SIDE, 1);
    glEndList();
}

// A white point light just in front of the viewer; the quadratic falloff
// (1 / (1 + 0.002 d^2), about 0.12 at 60 units) lets the far rings fade out.
static void valosotku(float z)
{
    static const GLfloat white[] = {1, 1, 1, 1};
    static const GLfloat black[] = {0, 0, 0, 1};
    GLfloat position[] = {0, 0, z, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.002f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
}

// Twist and wobble depend on a ring only through its depth phase + 10 i, so when
// the phase wraps from 10 to 0 ring i+1 takes over exactly where ring i was.
static void draw_ring(float t, float phase, int i)
{
    glPushMatrix();
    glTranslatef(0, 0, phase + 10.0f * i);
    glRotatef((float)(40 * sin(0.5 * i + 0.2 * M_PI * t + 0.05 * phase)), 0, 0, 1);
    glRotatef((float)(20 * sin(2 * t)), 0, 1, 0);
    glTranslatef((float)sin(0.05 * t + 0.1 * phase + i), 0, 0);
    glCallList(list);
    glPopMatrix();
}

void tunneli(float t, int dir)
{
    glPushMatrix();
    brick_state(3);
    // The sign follows t: a negative clock puts every ring up to 10 units further away.
    float phase = (float)fmod(25.0f * t, 10.0);
    valosotku(-3);
    glRotatef((float)(20 * sin(0.5 * t)), 0, 1, 0);
    glTranslatef(0, 0, dir == 1 ? -60.0f : -50.0f);
    glRotatef((float)(80 * sin(0.05 * t)), 0, 0, 1);
    for (int i = 0; i < RINGS; i++)
        draw_ring(t, phase, i);
    glPopMatrix();
    // Other effects share light 0 and expect no falloff.
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
}
