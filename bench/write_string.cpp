// Measures what a frame pays for brick text built and drawn every frame, offscreen.
//
// Usage: bench_write_string [--frames N] [--size W H] [WORD]
// Draws WORD (default "bybybybyby", the widest text of the show) in the two looks the
// show uses, solid and cut out of a checkerboard slab, at the titles' distance, and
// prints milliseconds per frame (the best of five runs) for: an empty frame,
// write_string every frame, the same text replayed from a display list, and
// write_string with rasterisation off.
#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "bricks/bricks.h"
#include "shell/entry.h"
#include "shell/offscreen.h"

#ifndef GL_RASTERIZER_DISCARD
#define GL_RASTERIZER_DISCARD 0x8C89
#endif

static const char usage[] =
    "usage: bench_write_string [--frames N] [--size W H] [WORD]\n"
    "Prints milliseconds per offscreen frame (default 1024x768, best of five runs of 100\n"
    "frames each) for an empty frame, for WORD (default bybybybyby) built and drawn by\n"
    "write_string every frame, for the same text replayed from a display list, and for\n"
    "write_string with rasterisation switched off (its geometry cost alone).\n";

static double seconds(clockid_t clock)
{
    struct timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

struct cost {
    double wall, cpu;  // milliseconds per frame: elapsed, and CPU of all the process's threads
};

static void light_like_the_show(void)
{
    const GLfloat at_eye[4] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);  // as every effect leaves it
    glLightfv(GL_LIGHT0, GL_POSITION, at_eye);
}

enum look { solid, slab, both };

static void draw_text(const char *word, look l)
{
    glTranslatef(0, -2, -24);
    glRotatef(24, 1, 0, 0);
    if (l != slab)
        write_string(word, 0, 2, 1);
    glTranslatef(0, 0, -6);
    if (l != solid)
        write_string(word, 1, 3, 18);
}

// Cost per frame of `draw`, each frame finished before the clocks are read. The
// machine may be shared: the CPU time is the steadier figure.
static cost per_frame(int frames, void (*draw)(const char *, look), const char *word, look l)
{
    double wall = seconds(CLOCK_MONOTONIC), cpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
    for (int i = 0; i < frames; i++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        set_frame_projection();
        light_like_the_show();
        if (draw)
            draw(word, l);
        glFinish();
    }
    return {(seconds(CLOCK_MONOTONIC) - wall) * 1000 / frames,
            (seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) * 1000 / frames};
}

// The best of five runs: on a shared machine the least disturbed run is the truest.
static cost best_of_five(int frames, void (*draw)(const char *, look), const char *word, look l)
{
    cost best = per_frame(frames, draw, word, l);
    for (int run = 1; run < 5; run++) {
        cost c = per_frame(frames, draw, word, l);
        best.wall = c.wall < best.wall ? c.wall : best.wall;
        best.cpu = c.cpu < best.cpu ? c.cpu : best.cpu;
    }
    return best;
}

static GLuint list;
static void replay(const char *, look)
{
    glCallList(list);
}

int main(int argc, char **argv)
{
    int frames = 100, w = 1024, h = 768;
    const char *word = "bybybybyby";
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(usage, stdout);
            return 0;
        } else if (!strcmp(argv[i], "--frames") && i + 1 < argc) {
            frames = atoi(argv[++i]);
        } else if (!strcmp(argv[i], "--size") && i + 2 < argc) {
            w = atoi(argv[++i]);
            h = atoi(argv[++i]);
        } else if (argv[i][0] == '-') {
            fprintf(stderr, "bench_write_string: unknown option '%s'\n%s", argv[i], usage);
            return 2;
        } else {
            word = argv[i];
        }
    }
    if (frames < 1 || w < 1 || h < 1) {
        fprintf(stderr, "bench_write_string: frames and size must be positive\n%s", usage);
        return 2;
    }
    if (offscreen_open(w, h) != 0) {
        fprintf(stderr, "bench_write_string: no offscreen OpenGL context: %s\n", offscreen_error());
        return 1;
    }
    lego_init();
    writer_init();
    printf("%s, %dx%d, %d frames, word \"%s\"\n", (const char *)glGetString(GL_RENDERER), w, h,
           frames, word);

    per_frame(5, draw_text, word, both);  // warm-up: shader variants, caches
    cost empty = best_of_five(frames, nullptr, word, both);
    printf("ms per frame (wall / cpu)   write_string        display list     geometry only\n");
    printf("empty frame                 %6.2f / %6.2f\n", empty.wall, empty.cpu);
    const char *names[] = {"solid (0, 2, 1)", "slab (1, 3, 18)", "both lines"};
    for (int l = solid; l <= both; l++) {
        cost direct = best_of_five(frames, draw_text, word, (look)l);
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        draw_text(word, (look)l);
        glEndList();
        cost listed = best_of_five(frames, replay, word, (look)l);
        glEnable(GL_RASTERIZER_DISCARD);
        cost geometry = best_of_five(frames, draw_text, word, (look)l);
        glDisable(GL_RASTERIZER_DISCARD);
        printf("%-27s %6.2f / %6.2f     %6.2f / %6.2f     %6.2f / %6.2f\n", names[l],
               direct.wall, direct.cpu, listed.wall, listed.cpu, geometry.wall, geometry.cpu);
    }
    return 0;
}
