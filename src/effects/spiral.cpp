// The brick spirals: a white and a red flat spiral of bricks, seen from above, turning
// about the line of sight at different rates.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"

// First of two consecutive display lists: lists + 0 the white spiral, lists + 1 the red one.
static int lists;

enum { WHITE_BRICKS = 55, RED_BRICKS = 75 };

// A white point light 2 units behind the caller's origin; the attenuation stays as the
// effect drawn before left it.
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
}

// Brick i of an Archimedean spiral in the plane y = 0: its angle a = 10/13 rho grows with
// the distance 2/3 rho from the centre, so the bricks follow one another at nearly equal
// spacing; each is turned along the curve, less 5 degrees. Even bricks are 3 x 2, odd 2 x 2.
static void spiral_brick(int i, float r, float g, float b)
{
    double rho = 4 * sqrt(i + 0.5);
    double a = rho * 0.7692307692307692;
    glPushMatrix();
    glTranslatef((float)(sin(a) * rho * 2 / 3), 0, (float)(cos(a) * rho * 2 / 3));
    glRotatef((float)(rho * 44.07692307692307 - 5), 0, 1, 0);
    lego(i % 2 == 0 ? 3 : 2, 2, 1, 8, 0, r, g, b);
    glPopMatrix();
}

void spiral_init(void)
{
    // Switched on for good: every brick recorded from here on is recorded with culling on.
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);

    lists = (int)glGenLists(2);
    glNewList(lists, GL_COMPILE);
    for (int i = 0; i < WHITE_BRICKS; i++)
        spiral_brick(i, 1, 1, 1);
    glEndList();
    glNewList(lists + 1, GL_COMPILE);
    for (int i = 0; i < RED_BRICKS; i++)
        spiral_brick(i, 1, 0.1f, 0);
    glEndList();
}

void spiral(float t)
{
    glPushMatrix();
    brick_state(3);
    valosotku();

    glTranslatef(0, 0, -13);
    glRotatef(90, 1, 0, 0);  // studs towards the viewer
    glRotatef(-90 * t, 0, 1, 0);
    glRotatef((float)(10 * sin(2 * t)), 0, 0, 1);
    glCallList(lists);

    // The red spiral, 4 units behind, tilted, turning against the white one.
    glRotatef(20 * t, 0, 1, 0.1f);
    glRotatef(-10, 0, 0, 1);
    glTranslatef(0, -4, 0);
    glCallList(lists + 1);
    glPopMatrix();
}
