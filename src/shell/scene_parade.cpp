// Serf parade, beats 8 to 19: serfs marching through the ball under their words.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "models/figures.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

enum { SERFS = 5 };

// Five serfs 7 units apart walk left at 2.4 units a second, 9 units in front,
// each turning to and fro with its own phase.
static void march(float t2)
{
    for (int i = 0; i < SERFS; i++) {
        glPushMatrix();
        glTranslatef(13 + 7 * i - 2.4f * t2, 0, -9);
        glRotatef((float)(60 * sin(3 * t2 + i)), 0, 1, 0);
        microserf();
        glPopMatrix();
    }
}

// "from serfs to serfs", three beats a word; a word is lit by the last serf's light.
static void word(int beat_now)
{
    switch ((beat_now - 8) / 3) {
    case 0: write_string("from", 0, 4, 1); break;
    case 1: write_string("serfs", 0, 2, 1); break;
    case 2: write_string("to", 0, 4, 1); break;
    case 3: write_string("serfs", 0, 2, 1); break;
    default: break;  // the song moved on since the window was chosen
    }
}

void scene_parade(float t2)
{
    glPushMatrix();
    glClear(GL_DEPTH_BUFFER_BIT);  // the serfs cover the ball
    march(t2);
    glClear(GL_DEPTH_BUFFER_BIT);  // the word covers the serfs
    glTranslatef(0, 0, 8 * musasynk(3, t2) - 26);
    word(beat.load(std::memory_order_relaxed));
    glPopMatrix();
}
