// Slogan, beats 48 to 55: "toyz for boyz" scrolls up behind the contraption, which jumps
// towards the viewer on the notes of track 3.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

static const char *const slogan[3] = {"toyz", "for", "boyz"};

// The words are drawn in many frames under moving transforms, so each is compiled once.
void compile_slogan_lists(int first_list)
{
    for (int i = 0; i < 3; i++) {
        glNewList(first_list + i, GL_COMPILE);
        write_string(slogan[i], 0, 4, 1);  // solid blue
        glEndList();
    }
}

// The contraption runs backwards on odd beats.
static float by_beat_parity(float time)
{
    return beat.load(std::memory_order_relaxed) % 2 ? -time : time;
}

void scene_slogan(float t)
{
    // The words rise at 20 units a second from y = -30 to 30, 20 units apart, "toyz"
    // highest, and jump back to -30; fmod keeps the sign, so "boyz" starts below the edge.
    static const float offset[3] = {20, 0, -20};
    for (int i = 0; i < 3; i++) {
        glPushMatrix();
        glTranslatef(0, (float)(fmod((double)(20 * t + offset[i]), 60.0) - 30), -18);
        glCallList(tl.sika + i);
        glPopMatrix();
    }

    glPushMatrix();
    glClear(GL_DEPTH_BUFFER_BIT);  // the contraption covers the words
    glTranslatef(0, 0, 2 * musasynk(3, t));
    hakkyra(by_beat_parity(t));
    glPopMatrix();
}
