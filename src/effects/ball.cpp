// The brick balls: bricks laid along a spiral over a sphere, recorded once and replayed.
//
// The inward ball (99 red and yellow bricks, studs facing the centre) is drawn around
// the eye; the outward ball (50 red, white and blue bricks with tubes) is drawn at
// the caller's origin. Both spheres have a radius of 50/6 units.
#include "effects/effects.h"

#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"

static int lists;  // first of two display lists: the inward ball, then the outward ball

static const double pi = 3.14159265358979323846;
static const double degrees_per_radian = 57.3;

// Brick i's longitude in radians: a spiral from the top, the lower half
// mirroring the upper one (a(100 - i) = 2 pi - a(i)).
static double longitude(int i)
{
    double s = i <= 49 ? sqrt((double)i) : pi / 2 - sqrt((double)(100 - i));
    return 4 * s;
}

// Radius of brick i's circle of latitude; with heights stepping by 1/6 the bricks
// lie on a sphere of radius 50/6.
static double latitude_radius(int i)
{
    return sqrt(fabs(2500.0 - (i - 50) * (i - 50))) / 6;
}

// Moves to brick i on the sphere at height y and turns it along the spiral.
static void place_brick(int i, double y, double tilt)
{
    double a = longitude(i), rho = latitude_radius(i);
    glTranslatef((float)(rho * sin(a)), (float)y, (float)(rho * cos(a)));
    glRotatef((float)(a * degrees_per_radian), 0, 1, 0);
    glRotatef((float)tilt, 1, 0, 0);
}

// Sphere centred 50/6 below the list's origin; the extra half turn points the
// studs roughly at the centre.
static void record_inward_ball(void)
{
    for (int i = 1; i <= 99; i++) {
        glPushMatrix();
        place_brick(i, -i / 6.0, 1.8 * i + 180);
        if (i % 2)
            lego(3, 2, 1, 6, 0, 1, 0.1f, 0);
        else
            lego(1, 2, 1, 6, 0, 1, 1, 0);
        glPopMatrix();
    }
}

// Sphere centred on the list's origin, studs outwards, red, white and blue in turn.
static void record_outward_ball(void)
{
    for (int i = 1; i <= 99; i += 2) {
        glPushMatrix();
        place_brick(i, (50 - i) / 6.0, 1.8 * i);
        const float *c = lclr[2 + i % 3];
        lego(3, 2, 1, 5, 3, c[0], c[1], c[2]);
        glPopMatrix();
    }
}

void ball_init(void)
{
    lists = (int)glGenLists(2);
    glNewList(lists, GL_COMPILE);
    record_inward_ball();
    glEndList();
    glNewList(lists + 1, GL_COMPILE);
    record_outward_ball();
    glEndList();
}

// Light 0: a white point light at the origin of the current frame, no attenuation.
static void valosotku(void)
{
    const GLfloat diffuse[4] = {1, 1, 1, 1};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    const GLfloat position[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
}

void ball1(float t)
{
    glPushMatrix();
    brick_state(2);
    valosotku();  // the light sits at the caller's origin, the eye
    // Tumbles about a point 7.8 in front; the sphere's centre is 1/3 below that
    // point, so the eye stays just inside the sphere of bricks.
    glTranslatef(0, 0, -7.8f);
    glRotatef(10 * t, 0, 1, 0);
    glRotatef(80 * t, 1, 0, 0);
    glTranslatef(0, 8, 0);
    glCallList(lists);
    glPopMatrix();
}

void ball2(float t, int spin)
{
    glPushMatrix();
    brick_state(2);
    glPushMatrix();
    glTranslatef(1, 10, 40);
    valosotku();
    glPopMatrix();
    if (spin) {
        glRotatef(120 * t, 0, 1, 0);
        glRotatef(30 * t, 0, 0, 1);
    }
    glCallList(lists + 1);
    glPopMatrix();
}
