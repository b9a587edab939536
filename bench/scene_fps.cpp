// Renders frames of a range of beats offscreen, as the show's frame loop does, and
// prints the frames per second; optionally writes every k-th frame as a PNG.
#include <GL/gl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <vector>

#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/offscreen.h"
#include "shell/png.h"
#include "shell/show.h"
#include "synth/synth.h"

static const char usage[] =
    "usage: scene_fps [--beats FIRST LAST] [--frames N] [--size WxH] [--png DIR] [--every K]\n"
    "  Renders N frames (default 200) spread evenly over beats FIRST..LAST (default 20 31)\n"
    "  at WxH (default 1024x768) with an offscreen context, the song clock advancing\n"
    "  1.92 s per beat, and prints the frames per second of the drawing (glFinish after\n"
    "  each frame), the slowest frame and the CPU time per frame of all threads.\n"
    "  Tracks 3 and 4 get a scripted note every 4 and every 8 rows.\n"
    "  --png DIR writes every K-th frame (default 10) as DIR/beatBB_NNNN.png.\n";

static const unsigned MS_PER_BEAT = 1920;
static const unsigned MS_PER_ROW = MS_PER_BEAT / 16;

static double seconds_of(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

static double now_seconds(void)
{
    return seconds_of(CLOCK_MONOTONIC);
}

// CPU time of the whole process, the rasterizer's threads included: unlike the
// wall clock it does not grow when other programs compete for the cores.
static double cpu_seconds(void)
{
    return seconds_of(CLOCK_PROCESS_CPUTIME_ID);
}

// The song position and the drum notes at virtual time ms, as the sequencer would publish them.
static void script_song(unsigned ms)
{
    unsigned row = ms / MS_PER_ROW;
    beat.store((int)(ms / MS_PER_BEAT), std::memory_order_relaxed);
    lastrig[3].store((int)(row % 4), std::memory_order_relaxed);
    lastrig[4].store((int)((row + 2) % 8), std::memory_order_relaxed);
}

static void frame(unsigned ms)
{
    script_song(ms);
    show_ticks_set_virtual(ms);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    set_frame_projection();
    run_fx();
}

static int parse_args(int argc, char **argv, int *first, int *last, int *frames, int *w, int *h,
                      const char **png_dir, int *every)
{
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            fputs(usage, stdout);
            exit(0);
        } else if (!strcmp(a, "--beats") && i + 2 < argc) {
            *first = atoi(argv[++i]);
            *last = atoi(argv[++i]);
        } else if (!strcmp(a, "--frames") && i + 1 < argc) {
            *frames = atoi(argv[++i]);
        } else if (!strcmp(a, "--size") && i + 1 < argc) {
            if (sscanf(argv[++i], "%dx%d", w, h) != 2)
                return -1;
        } else if (!strcmp(a, "--png") && i + 1 < argc) {
            *png_dir = argv[++i];
        } else if (!strcmp(a, "--every") && i + 1 < argc) {
            *every = atoi(argv[++i]);
        } else {
            fprintf(stderr, "scene_fps: unknown or incomplete option '%s'\n", a);
            return -1;
        }
    }
    if (*first < 0 || *last < *first || *frames < 1 || *w < 16 || *h < 16 || *every < 1) {
        fprintf(stderr, "scene_fps: bad values (beats %d..%d, %d frames, %dx%d, every %d)\n",
                *first, *last, *frames, *w, *h, *every);
        return -1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    int first = 20, last = 31, frames = 200, w = 1024, h = 768, every = 10;
    const char *png_dir = NULL;
    if (parse_args(argc, argv, &first, &last, &frames, &w, &h, &png_dir, &every) < 0) {
        fputs(usage, stderr);
        return 2;
    }
    if (offscreen_open(w, h) < 0) {
        fprintf(stderr, "scene_fps: no offscreen context: %s\n", offscreen_error());
        return 1;
    }
    if (png_dir)
        mkdir(png_dir, 0777);

    syna_init(44100);
    prepare_drawing();
    unsigned start = first * MS_PER_BEAT;
    unsigned span = (last + 1 - first) * MS_PER_BEAT;
    unsigned step = span / frames;
    if (step == 0)
        step = 1;
    // The frame before the range lets the scene before re-stamp the range's clock.
    frame(start > step ? start - step : 0);
    glFinish();

    std::vector<unsigned char> rgb((size_t)w * h * 3);
    double drawing = 0, cpu = 0, slowest = 0;
    for (int i = 0; i < frames; i++) {
        unsigned ms = start + i * step;
        double t0 = now_seconds(), c0 = cpu_seconds();
        frame(ms);
        glFinish();
        double took = now_seconds() - t0;
        drawing += took;
        cpu += cpu_seconds() - c0;
        slowest = took > slowest ? took : slowest;
        if (png_dir && i % every == 0) {
            char path[4096];
            snprintf(path, sizeof path, "%s/beat%02u_%04d.png", png_dir, ms / MS_PER_BEAT, i);
            offscreen_read_rgb(w, h, rgb.data());
            if (png_write(path, w, h, rgb.data()) < 0) {
                fprintf(stderr, "scene_fps: cannot write %s\n", path);
                return 1;
            }
        }
        if ((i + 1) % 50 == 0)
            fprintf(stderr, "scene_fps: %d of %d frames\n", i + 1, frames);
    }
    printf("beats %d..%d at %dx%d: %d frames in %.2f s drawing, %.1f frames per second, "
           "slowest frame %.1f ms, %.1f ms CPU per frame (all threads)\n",
           first, last, w, h, frames, drawing, frames / drawing, slowest * 1e3,
           cpu / frames * 1e3);
    return 0;
}
