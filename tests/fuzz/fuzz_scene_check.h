// What every scene a loader accepts must satisfy, checked by touching all of it.
#pragma once

#include <stdlib.h>

#include "models/scene.h"

// Aborts (a finding) when a face points outside the scene's arrays or a group has no material.
static inline void check_scene(const scene *s)
{
    volatile float sink = 0;
    for (const object *o = s->objects; o; o = o->next)
        for (const group *g = o->groups; g; g = g->next) {
            if (!g->material)
                abort();
            sink = sink + g->material->diffuse[0];
            for (const face *f = g->faces; f; f = f->next) {
                if (f->n < 3)
                    abort();
                for (int k = 0; k < f->n; k++) {
                    if (f->vi[k] < 0 || f->vi[k] >= s->nverts || f->ni[k] < 0 ||
                        f->ni[k] >= s->nnormals)
                        abort();
                    sink = sink + s->verts[3 * f->vi[k]] + s->normals[3 * f->ni[k] + 2];
                }
            }
        }
    (void)sink;
}
