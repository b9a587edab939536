// Faces and credits, beats 32 to 47: brick faces assembling and dissolving.
#include <GL/gl.h>
#include <math.h>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "shell/scenes.h"
#include "shell/sync.h"
#include "synth/synth.h"

// Four sub-ranges of four beats: each face assembles, then comes apart in reverse.
struct credit {
    int picture;       // face picture drawn
    int track;         // the track whose notes jerk the word
    const char *word;  // in solid blue, 44 units in front
    float x, push, y;  // word at (x + push * pulse, y); a pulse moves it up to 7 units
};
static const credit credits[4] = {
    {0, 3, "codegfx", -7, 7, 15},  // beats 32..35, top left
    {0, 3, "dorv", 20, -7, -15},   // beats 36..39, bottom right
    {2, 4, "music", -17, 7, 15},   // beats 40..43, top left
    {2, 4, "wub", 27, -7, -15},    // beats 44..47, bottom right
};

// The face's fall clock: assembling runs forward from the sub-range's start, taking
// apart runs backward from 12, where every brick has long landed. The marks hold t2
// of the previous sub-range's last frame, so each sub-range starts from its own 0.
static float fall_clock(int part, float t2)
{
    switch (part) {
    case 0:
        return (float)(1.8 * t2);
    case 1:
        return (float)(1.8 * (tl.turn - t2) + 12);
    case 2:
        return (float)(1.8 * (t2 - tl.turn2));
    default:
        return (float)(1.8 * (tl.turn - t2) + 12);
    }
}

static void store_mark(int part, float t2)
{
    if (part == 0 || part == 2)
        tl.turn = t2;
    else if (part == 1)
        tl.turn2 = t2;
}

void scene_faces(float t2)
{
    int b = beat.load(std::memory_order_relaxed);
    if (b < 32 || b > 47)
        return;
    int part = (b - 32) / 4;
    const credit &c = credits[part];

    glPushMatrix();
    // The plate turns to and fro between 0 and 40 degrees, period 12 pi seconds.
    float angle = (float)(20 - 20 * sin(t2 * 0.16666667f));
    naamat(fall_clock(part, t2), c.picture, angle);
    float p = musasynk(c.track, t2);
    glTranslatef(c.x + c.push * p, c.y, -44);
    glClear(GL_DEPTH_BUFFER_BIT);  // the word covers the face
    write_string(c.word, 0, 4, 1);
    store_mark(part, t2);
    glPopMatrix();
}
