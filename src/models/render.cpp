// Scene rendering in immediate mode: lights first, then every part on its pivot.
#include "models/render.h"

#include <GL/gl.h>
#include <string.h>

static const GLenum lname[SCENE_MAX_LIGHTS] = {
    GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7,
};

// The next light slot. Every drawn part starts the count again, and so does each
// scene with lights (also one with no parts), so a scene's lights, set up before
// its parts, take slots 0, 1, ... frame after frame.
static int lighti;

// A light shines from the first corner of its first face towards the origin.
static void setup_light(scene *s, object *o)
{
    if (lighti >= SCENE_MAX_LIGHTS)
        return;  // the loaders refuse such scenes; never step past the last light
    GLenum light = lname[lighti++];
    glEnable(light);
    const group *g = o->groups;
    const material *m = g->material;
    glLightfv(light, GL_AMBIENT, m->ambient);
    glLightfv(light, GL_SPECULAR, m->specular);
    glLightfv(light, GL_DIFFUSE, m->diffuse);
    const float *v = s->verts + 3 * g->faces->vi[0];
    const GLfloat position[4] = {v[0], v[1], v[2], 0};
    glLightfv(light, GL_POSITION, position);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1);
    glLightf(light, GL_LINEAR_ATTENUATION, 0);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0);
    glLightf(light, GL_SPOT_CUTOFF, 180);
}

static void draw_part(scene *s, object *o, const float *offset)
{
    lighti = 0;
    for (const group *g = o->groups; g; g = g->next) {
        const material *m = g->material;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, m->diffuse);
        glMaterialfv(GL_FRONT, GL_AMBIENT, m->ambient);
        glMaterialfv(GL_FRONT, GL_SPECULAR, m->specular);
        glMaterialf(GL_FRONT, GL_SHININESS, m->ns);
        for (const face *f = g->faces; f; f = f->next) {
            glBegin(GL_POLYGON);
            for (int k = 0; k < f->n; k++) {
                const float *n = s->normals + 3 * f->ni[k];
                const float *v = s->verts + 3 * f->vi[k];
                glNormal3f(n[0], n[1], n[2]);
                glVertex3f(v[0] - offset[0], v[1] - offset[1], v[2] - offset[2]);
            }
            glEnd();
        }
    }
}

void render_object(scene *s, object *o)
{
    if (o->type == OBJECT_PIVOT)
        return;
    glPushMatrix();
    static const float no_offset[3] = {0, 0, 0};
    const float *offset = no_offset;
    if (const object *p = o->pivot) {
        glTranslatef(p->origin[0], p->origin[1], p->origin[2]);
        glRotatef(o->angle, p->axis[0], p->axis[1], p->axis[2]);
        offset = p->origin;
    }
    if (o->type == OBJECT_LIGHT)
        setup_light(s, o);
    else
        draw_part(s, o, offset);
    glPopMatrix();
}

void render_scene(scene *s)
{
    if (s->has_lights) {
        for (GLenum light : lname)
            glDisable(light);
        lighti = 0;
    }
    for (object *o = s->objects; o; o = o->next)
        if (o->type == OBJECT_LIGHT)
            render_object(s, o);
    for (object *o = s->objects; o; o = o->next)
        if (o->type != OBJECT_LIGHT)
            render_object(s, o);
}

object *find_object(scene *s, const char *name)
{
    for (object *o = s->objects; o; o = o->next)
        if (strcmp(o->name, name) == 0)
            return o;
    return nullptr;
}
