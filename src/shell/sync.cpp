// Sync pulses: turns the note counts the sequencer publishes into motion.
#include "shell/sync.h"

#include <math.h>

#include "synth/synth.h"

static int last[SYNA_TRACKS];    // lastrig[track] seen at the track's previous call
static int on[SYNA_TRACKS];      // 1 while a pulse runs
static float tids[SYNA_TRACKS];  // time of the call that started the pulse

float musasynk(int track, float t)
{
    // A drop in the rows-since-note count means a new note; one that comes while
    // a pulse runs does not restart it.
    if (last[track] > lastrig[track].load(std::memory_order_relaxed) && !on[track]) {
        on[track] = 1;
        tids[track] = t;
    }
    last[track] = lastrig[track].load(std::memory_order_relaxed);

    float dt = t - tids[track];
    if (dt < 0) {
        on[track] = 0;
        return 0;
    }
    float x = (float)sqrt(dt * 60);
    if (x < 3.141592653589793 && on[track])
        return (float)sin(x);
    on[track] = 0;
    return 0;
}
