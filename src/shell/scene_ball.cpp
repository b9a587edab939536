// Brick ball window, beats 0 to 19: flashes with the snare, then frames the serf parade.
#include <GL/gl.h>

#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

void scene_ball(float time)
{
    if (beat.load(std::memory_order_relaxed) < 8)
        return;  // the opening titles' flashing ball
    // Around the serf parade the ball always tumbles, jerking back with every
    // note of track 3; this call is the one that sees the note.
    glPushMatrix();
    ball1(time - 0.4f * musasynk(3, time));
    glPopMatrix();
}
