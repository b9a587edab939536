// Tunnel story, beats 20 to 31: the brick tunnel streaming under the story words.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

// The story, two beats a word from beat 20; beats 30 and 31 have none.
static const char *const words[5] = {"i", "was", "born", "in", "billund"};

static void draw_story_word(float t)
{
    glTranslatef((float)(30 * sin(2.0f * t)), -14, -24);  // swings left and right, period pi
    glRotatef(10 * musasynk(3, t), 0, 1, 0);              // jerks with track 3
    glRotatef((float)(5 * sin(t)), 0, 1, 0);
    int b = beat.load(std::memory_order_relaxed);  // one reading for the test and the look-up
    if (b >= 20 && b <= 29)
        write_string(words[(b - 20) / 2 % 5], 0, 1, 1);
}

void scene_tunnel(float t)
{
    // Odd beats: the rings stream towards the viewer; even beats: away, the far end nearer.
    glPushMatrix();
    if (beat.load(std::memory_order_relaxed) & 1)
        tunneli(t, 1);
    else
        tunneli(-t, -1);
    glPopMatrix();

    glPushMatrix();
    glClear(GL_DEPTH_BUFFER_BIT);  // the word covers the tunnel
    draw_story_word(t);
    glPopMatrix();
}
