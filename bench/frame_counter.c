/* Preloaded into the live show: times the first frame and counts frames per second.
 * Wraps SDL_GL_SwapBuffers; prints its figures to stderr when the process exits. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double start_s, first_s, last_s;
static long frames;

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

static void report(void)
{
    if (frames < 2)
        return;
    fprintf(stderr, "frame_counter: first frame %.0f ms after start; %ld frames, %.1f frames per second\n",
            (first_s - start_s) * 1000, frames, (frames - 1) / (last_s - first_s));
}

__attribute__((constructor)) static void begin(void)
{
    start_s = now();
    atexit(report);
}

void SDL_GL_SwapBuffers(void)
{
    static void (*real)(void);
    if (!real)
        real = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    real();
    last_s = now();
    if (frames++ == 0)
        first_s = last_s;
}
