// Walkers, beats 56 to 63: two rows of walking figures on a red studded floor that slides
// beneath them, the contraption turning behind, and the words "keep walking, keep smiling".
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "models/figures.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

static int current_beat(void)
{
    return beat.load(std::memory_order_relaxed);
}

// The floor moves away at 3.2 units a second and jumps back every 2 units, one scaled
// stud pitch, so its studs seem to slide on for ever.
static void draw_floor(float t2)
{
    glPushMatrix();
    glTranslatef(0, -6, (float)(-13 - fmod(3.2 * t2, 2)));
    glScalef(2, 1, 2);
    lego(14, 10, 1, 6, 0, 1, 0.1f, 0);  // a red plate of 28 by 20 units
    glPopMatrix();
}

// Blue "keep" on beats 56-57 and 60-61, green "walking" on 58-59, green "smiling" on 62-63.
static void draw_word(int b)
{
    switch ((b - 56) / 2) {
    case 0:
    case 2:
        write_string("keep", 0, 4, 1);
        break;
    case 1:
        write_string("walking", 0, 5, 1);
        break;
    case 3:
        write_string("smiling", 0, 5, 1);
        break;
    default:
        break;  // the song moved on between the window's test and here
    }
}

void scene_walkers(float t2)
{
    glPushMatrix();
    hakkyra(current_beat() % 2 ? -t2 : t2);
    glClear(GL_DEPTH_BUFFER_BIT);  // floor and figures cover the contraption

    // In the scene's first beat the floor and the figures rise from 40 units below.
    if (current_beat() == 56) {
        float y = 30 * t2 - 40;
        if (y < 0)
            glTranslatef(0, y, 0);
    }
    glRotatef(3 * t2 - 20, 0, 1, 0);
    draw_floor(t2);
    glTranslatef(0, 0, -9);
    walkers(t2, 3);
    glTranslatef(0, 0, -4);
    walkers(t2 + 1, 2);  // further back, one second ahead in the walk
    glPopMatrix();

    glClear(GL_DEPTH_BUFFER_BIT);  // the word covers everything
    // Not undone: this is the frame's last drawing and the next frame starts from identity.
    glTranslatef(0, 0, 8 * musasynk(3, t2) - 33);
    draw_word(current_beat());
}
