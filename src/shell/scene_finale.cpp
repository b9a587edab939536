// Spiral, greetings and finale, beats 64 to the end: the brick spirals under one greeting
// a beat, then the closing wall that builds up and crumbles.
#include <GL/gl.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

// One greeting for each of beats 65 to 70. The spaces widen the slab of the second line.
static const char *const greets[6] = {
    "     xj     ", "   vetra   ", "    zeg    ", " sulvane ", "  gorlin  ", "  tyxmo  ",
};

void scene_spiral(float t)
{
    glPushMatrix();
    spiral(t);
    glPopMatrix();

    glClear(GL_DEPTH_BUFFER_BIT);  // the greeting covers the spiral
    glPushMatrix();
    glTranslatef(0, -2, -32);
    // Tilts less with each track-4 note; the scaled time stretches the pulse. The pulse is
    // taken on beats without a greeting too, so it keeps following the track.
    glRotatef(20 - 10 * musasynk(4, (float)(0.7 * t)), 1, 0, 0);
    // One reading of the song position serves the range test and both lines.
    int b = beat.load(std::memory_order_relaxed);
    if (b >= 65 && b <= 70) {
        const char *g = greets[b - 65];
        write_string(g, 0, 2, 1);  // the word in solid red
        glTranslatef(0, 0, -6);
        write_string(g, 1, 3, 18);  // cut out of a white and blue checkerboard slab
    }
    glPopMatrix();
}

// The closing wall, white and blue, depth-tested against the spiral during beat 71.
void scene_finale(float t2)
{
    pathetic((float)(1.2 * t2), 3);
}
