// Stand-in synthesizer: silence, but the song clock runs at the embedded song's row rate.
#include "synth/synth.h"

#include <string.h>

std::atomic<int> beat;
std::atomic<int> lastrig[SYNA_TRACKS];
int counter;

static int update = 5292;  // frames per row at 125 bpm and 44100 frames per second

void syna_init(int rate)
{
    update = rate * 60 / 125 / 4;
    counter = 0;
    for (auto &r : lastrig)
        r.store(10000000, std::memory_order_relaxed);
}

int syna_get(char *)
{
    return 0;
}

int syna_load(const char *)
{
    return 0;
}

void syna_play(short *buffer, int frames)
{
    for (int i = 0; i < frames; i++) {
        if (counter % update == 0)
            beat.store(counter / update / 16, std::memory_order_relaxed);
        buffer[2 * i] = buffer[2 * i + 1] = 0;
        counter++;
    }
}

void pakki(void *, unsigned char *stream, int bytes)
{
    syna_play((short *)stream, bytes / 4);
}

int syna_row_frames(void)
{
    return update;
}
