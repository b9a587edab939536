// Drawing a scene with OpenGL: its light objects become lights, its parts turn on their pivots.
#pragma once

#include "models/scene.h"

// Draws the scene under the current modelview matrix and leaves that matrix as
// it found it. A scene with light objects switches all eight lights off first
// and gives its lights slots 0, 1, ... in list order; one without changes none.
void render_scene(scene *s);

// Draws one object, or sets up the light it stands for; pivots draw nothing.
void render_object(scene *s, object *o);

// The first object in list order with this exact name, or null.
object *find_object(scene *s, const char *name);
