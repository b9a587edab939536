// The walker and the serf figures, decoded from the embedded model dumps.
#include "models/figures.h"

#include <GL/gl.h>
#include <math.h>

#include "models/dump.h"
#include "models/render.h"

extern unsigned char walkerdata[];
extern const unsigned walkerdata_size;
extern unsigned char serfdata[];
extern const unsigned serfdata_size;

static scene lego;  // the walker
static scene serf;

int dudes_init(void)
{
    get_dump(&lego, walkerdata, walkerdata_size);
    return get_dump(&serf, serfdata, serfdata_size);
}

static void set_angle(const char *name, double degrees)
{
    if (object *o = find_object(&lego, name))
        o->angle = (float)degrees;
}

// A stride takes 2 pi / 5 seconds: each arm swings against the other and
// against the leg on its side; the right-side pivots point along -x, so equal
// leg angles swing the legs against each other.
static void pose_walker(float t)
{
    float a = -5 * t, b = 5 * t;
    set_angle("rarm", 60 * sin(a) + 10);
    set_angle("larm", 60 * sin(a) - 10);
    set_angle("head", 15 * sin(b));
    set_angle("lfoot", 40 * sin(b));
    set_angle("rfoot", 40 * sin(b));
}

void walkers(float t, int count)
{
    glPushMatrix();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glTranslatef(0, (float)(0.1 * sin(10 * t) - 0.5), 0);
    pose_walker(t);
    glTranslatef(3.5f - 3.5f * count, 0, 0);
    float a = -5 * t;
    for (int i = 0; i < count; i++) {
        glPushMatrix();
        glTranslatef(7.0f * i, 0, 0);
        glRotatef((float)(2 * sin(a - M_PI / 2)), 0, 0, 1);
        if (lego.objects)
            render_scene(&lego);
        glPopMatrix();
    }
    glPopMatrix();
}

// Light 0 for the serf, placed in the caller's frame before the serf's own move.
static void valosotku(void)
{
    static const GLfloat diffuse[] = {1, 1, 1, 1};
    static const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1};
    static const GLfloat specular[] = {1, 1, 1, 1};
    static const GLfloat position[] = {2, 6, 10, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

void microserf(void)
{
    valosotku();
    glEnable(GL_LIGHT0);
    glPushMatrix();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glTranslatef(0, -2, 0);
    if (serf.objects)
        render_scene(&serf);
    glPopMatrix();
}

scene *walker_model(void)
{
    return &lego;
}

scene *serf_model(void)
{
    return &serf;
}
