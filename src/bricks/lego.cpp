// The studded brick: one lit brick with studs, rim, hollow and tubes.
//
// Units: one stud pitch is 1. The body spans x 0..width, y 0..1.2 and z -depth..0
// (studs run along +x and -z); studs are cylinders of radius 0.3 up to y 1.45,
// tubes cylinders of radius 0.35 from y 0.12 to the hollow's ceiling at 1.08.
// Every face is counter-clockwise seen from the side it faces.
#include "bricks/bricks.h"

#include <GL/gl.h>
#include <math.h>

static const float body_height = 1.2f;
static const float stud_top = 1.45f;
static const float stud_radius = 0.3f;
static const float tube_radius = 0.35f;
static const float wall = 0.12f;     // wall thickness of the hollow underside
static const float ceiling = 1.08f;  // height of the hollow's ceiling
static const double pi = 3.14159265358979323846;

void lego_init(void)
{
    // Back faces (the inner sides of the tubes) are lit with reversed normals.
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}

static void set_material(float r, float g, float b)
{
    const GLfloat diffuse[4] = {r, g, b, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    const GLfloat ambient[4] = {0.1f, 0.1f, 0.1f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 100);
}

// Rim angle of segment boundary k of n: the first point lies at 45 degrees, so a
// four-segment circle is a square with sides along the brick's edges. Angles run
// from +z towards +x.
static double rim_angle(int k, int n)
{
    return pi / 4 + 2 * pi * k / n;
}

// The outward-facing wall of a cylinder about the current origin's y axis, as one
// quad strip that closes on itself.
static void cylinder_wall(float radius, float y_low, float y_high, int n)
{
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= n; k++) {
        double a = rim_angle(k, n);
        float s = (float)sin(a), c = (float)cos(a);
        glNormal3f(s, 0, c);
        glVertex3f(radius * s, y_high, radius * c);
        glVertex3f(radius * s, y_low, radius * c);
    }
    glEnd();
}

// The stud's top as a fan; every inner rim point is sent twice, which only adds
// empty triangles.
static void stud_cap(int n)
{
    glNormal3f(0, 1, 0);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(0, stud_top, 0);
    for (int k = 0; k < n; k++) {
        double a0 = rim_angle(k, n), a1 = rim_angle(k + 1, n);
        glVertex3f(stud_radius * (float)sin(a0), stud_top, stud_radius * (float)cos(a0));
        glVertex3f(stud_radius * (float)sin(a1), stud_top, stud_radius * (float)cos(a1));
    }
    glEnd();
}

static void studs(int width, int depth, int n)
{
    for (int row = 0; row < depth; row++) {
        glPushMatrix();
        glTranslatef(0.5f, 0, -0.5f - row);
        for (int col = 0; col < width; col++) {
            cylinder_wall(stud_radius, body_height, stud_top, n);
            stud_cap(n);
            glTranslatef(1, 0, 0);
        }
        glPopMatrix();
    }
}

// Front, sides, back and (when the studs show) the top; never a bottom face.
static void body(float w, float d, int with_top)
{
    const float h = body_height;
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(0, 0, 0); glVertex3f(w, 0, 0); glVertex3f(w, h, 0); glVertex3f(0, h, 0);
    glNormal3f(-1, 0, 0);
    glVertex3f(0, 0, 0); glVertex3f(0, h, 0); glVertex3f(0, h, -d); glVertex3f(0, 0, -d);
    glNormal3f(1, 0, 0);
    glVertex3f(w, 0, 0); glVertex3f(w, 0, -d); glVertex3f(w, h, -d); glVertex3f(w, h, 0);
    glNormal3f(0, 0, -1);
    glVertex3f(0, 0, -d); glVertex3f(0, h, -d); glVertex3f(w, h, -d); glVertex3f(w, 0, -d);
    if (with_top) {
        glNormal3f(0, 1, 0);
        glVertex3f(0, h, 0); glVertex3f(w, h, 0); glVertex3f(w, h, -d); glVertex3f(0, h, -d);
    }
    glEnd();
}

// The downward-facing rim around the hollow: each outer corner paired with its
// inset inner corner, round the brick and back to the start.
static void bottom_rim(float w, float d)
{
    const float e = wall;
    glNormal3f(0, -1, 0);
    glBegin(GL_QUAD_STRIP);
    glVertex3f(0, 0, 0);  glVertex3f(e, 0, -e);
    glVertex3f(w, 0, 0);  glVertex3f(w - e, 0, -e);
    glVertex3f(w, 0, -d); glVertex3f(w - e, 0, -d + e);
    glVertex3f(0, 0, -d); glVertex3f(e, 0, -d + e);
    glVertex3f(0, 0, 0);  glVertex3f(e, 0, -e);
    glEnd();
}

// Ceiling and four inner walls, all facing into the hollow. The ceiling uses the
// rim's downward normal, still current.
static void hollow(float w, float d)
{
    const float e = wall, c = ceiling, x0 = e, x1 = w - e, z0 = -e, z1 = -d + e;
    glBegin(GL_QUADS);
    glVertex3f(x0, c, z1); glVertex3f(x1, c, z1); glVertex3f(x1, c, z0); glVertex3f(x0, c, z0);
    glNormal3f(0, 0, 1);  // back inner wall
    glVertex3f(x0, 0, z1); glVertex3f(x1, 0, z1); glVertex3f(x1, c, z1); glVertex3f(x0, c, z1);
    glNormal3f(0, 0, -1);  // front inner wall
    glVertex3f(x1, 0, z0); glVertex3f(x0, 0, z0); glVertex3f(x0, c, z0); glVertex3f(x1, c, z0);
    glNormal3f(1, 0, 0);  // left inner wall
    glVertex3f(x0, 0, z0); glVertex3f(x0, 0, z1); glVertex3f(x0, c, z1); glVertex3f(x0, c, z0);
    glNormal3f(-1, 0, 0);  // right inner wall
    glVertex3f(x1, 0, z1); glVertex3f(x1, 0, z0); glVertex3f(x1, c, z0); glVertex3f(x1, c, z1);
    glEnd();
}

// One tube under every inner grid point; a brick one stud wide or deep has none.
static void tubes(int width, int depth, int n)
{
    for (int row = 1; row < depth; row++) {
        for (int col = 1; col < width; col++) {
            glPushMatrix();
            glTranslatef((float)col, 0, (float)-row);
            cylinder_wall(tube_radius, wall, ceiling, n);
            glPopMatrix();
        }
    }
}

void lego(int width, int depth, int centre, int top, int bottom, float r, float g, float b)
{
    // The query runs now, also while a display list records: a recorded brick
    // re-enables culling at its end only if culling was on when it was recorded.
    GLboolean culling_was_on = glIsEnabled(GL_CULL_FACE);

    set_material(r, g, b);
    glPushMatrix();
    if (centre)
        glTranslatef(-width * 0.5f, -0.6f, depth * 0.5f);
    glEnable(GL_CULL_FACE);

    if (top)
        studs(width, depth, top);
    body((float)width, (float)depth, top != 0);

    if (bottom) {
        bottom_rim((float)width, (float)depth);
        hollow((float)width, (float)depth);
        // The tubes are single-walled: both sides must show.
        glDisable(GL_CULL_FACE);
        tubes(width, depth, bottom);
    }

    if (culling_was_on)
        glEnable(GL_CULL_FACE);
    glPopMatrix();
}

void brick_state(int last_light_off)
{
    glEnable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    for (int i = 1; i <= last_light_off; i++)
        glDisable(GL_LIGHT0 + i);
    glEnable(GL_DEPTH_TEST);
}
