// Prints the synthesizer's start-up time (syna_init + syna_get of the embedded song),
// its offline render speed over the whole song, and the memory it holds.
#include <stdio.h>
#include <string.h>
#include <time.h>

#include <vector>

#include "synth/tables.h"

// CPU time of this thread: on a shared machine, wall time also counts the waits
// for a core, which say nothing of the synthesizer.
static double now(void)
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

static double start_up(void)
{
    std::vector<char> text((const char *)piisi, (const char *)piisi + strlen((const char *)piisi) + 1);
    double t0 = now();
    syna_init(44100);
    if (syna_get(text.data()) < 0) {
        fprintf(stderr, "synth_bench: embedded song:%d: %s\n", syna_error_line(), syna_error());
        return -1;
    }
    return now() - t0;
}

int main(void)
{
    const int runs = 5;
    double best_start = 1e9;
    for (int i = 0; i < runs; i++) {
        double t = start_up();
        if (t < 0)
            return 1;
        best_start = t < best_start ? t : best_start;
    }
    printf("syna_init + syna_get (embedded song): %.1f ms CPU time (best of %d)\n", best_start * 1000, runs);

    const int frames = 73 * 16 * song.update + 1;  // to the show's end
    static short buf[2 * 1024];
    double best_render = 1e9;
    for (int i = 0; i < 3; i++) {
        start_up();
        double t0 = now();
        for (int done = 0; done < frames; done += 1024)
            syna_play(buf, frames - done < 1024 ? frames - done : 1024);
        double t = now() - t0;
        best_render = t < best_render ? t : best_render;
    }
    double seconds = (double)frames / waves.global;
    printf("offline render: %.2f s of song in %.3f s CPU time, %.0f times real time (best of 3, one core)\n",
           seconds, best_render, seconds / best_render);

    long samples = 0, rings = 0;
    for (int j = 0; j < SYNA_TRACKS; j++) {
        samples += song.instr[j] ? song.len[j] : 0;
        rings += song.echo[j] ? song.ekolen : 0;
    }
    long waves_floats = 3L * waves.slen + waves.global;
    long tables = sizeof song + sizeof voice + sizeof notei;
    long total = 4 * (samples + rings + waves_floats) + tables;
    printf("memory: instrument samples %.2f MB (%ld floats), echo rings %.2f MB, "
           "wave tables %.2f MB, fixed tables %.2f MB; total %.2f MB\n",
           samples * 4 / 1e6, samples, rings * 4 / 1e6, waves_floats * 4 / 1e6, tables / 1e6,
           total / 1e6);
    return 0;
}
