// Brick ball window, beats 0 to 19: flashes with the snare, then frames the serf parade.
#include <GL/gl.h>

#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

void scene_ball(float time)
{
    glPushMatrix();
    if (beat.load(std::memory_order_relaxed) <= 7) {
        // Shown only while a track-4 pulse runs; its tumbling follows the clock.
        if (musasynk(4, time) != 0)
            ball1(time);
    } else {
        // Around the serf parade the ball always tumbles, jerking back by up to 0.4
        // with every note of track 3; this call is the one that sees the note.
        ball1(time - 0.4f * musasynk(3, time));
    }
    glPopMatrix();
}
