// The show's entry: start-up in its fixed order, the frame loop and the end of the show.
#include "shell/entry.h"

#include <SDL.h>
#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "models/figures.h"
#include "shell/cmdline.h"
#include "shell/show.h"
#include "synth/synth.h"

void set_frame_projection(void)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -0.75, 0.75, 1, 10000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Opens the device paused. Without a usable device the show still needs its
// music clock, so it falls back to SDL's dummy driver and plays silently.
static void open_audio(void)
{
    SDL_AudioSpec desired;
    desired.freq = 44100;
    desired.format = AUDIO_S16MSB;
    desired.channels = 2;
    desired.samples = 1024;
    desired.callback = pakki;
    desired.userdata = NULL;
    if (SDL_OpenAudio(&desired, NULL) == 0)
        return;

    fprintf(stderr, "tavio: warning: cannot open the audio device (%s); playing silently\n",
            SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0 || SDL_OpenAudio(&desired, NULL) < 0)
        fprintf(stderr, "tavio: warning: the silent audio driver failed too (%s)\n",
                SDL_GetError());
}

// sdl12-compat draws OpenGL through an extra scaling buffer by default; a window
// gets nothing from it but a copy per frame, so it is turned off there. Full
// screen keeps it: it fits the show to the desktop without a mode change.
static void choose_gl_scaling(const cmdline &cl)
{
    if (!cl.fullscreen)
        setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
}

// The software renderer allocates and frees large vertex buffers for every draw. With
// the C library's default thresholds the top of the heap is handed back to the system
// after each and faulted in again at the next, which costs more than the drawing in the
// scenes that replay many display lists. Keeping the heap makes them several times
// faster and changes nothing that is drawn.
static void keep_heap(void)
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest the library accepts
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
#endif
}

// Every effect records its static geometry; the order fixes the OpenGL state
// in which each display list is recorded.
void prepare_drawing(void)
{
    keep_heap();
    lego_init();
    dudes_init();
    hakkyra_init();
    tunneli_init();
    spiral_init();
    ball_init();
    writer_init();
    naamat_init();
}

static int frame_ends_show(void)
{
    int done = 0;
    SDL_Event event;
    while (SDL_PollEvent(&event) > 0) {
        if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_QUIT)
            done = 1;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
            done = 1;
    }
    return done;
}

int SDL_main(int argc, char **argv)
{
    cmdline cl = parse_cmdline(argc, argv);
    if (cl.help) {
        fputs(tavio_usage, stdout);
        return 0;
    }
    if (const char *why = cmdline_size_problem(cl)) {
        fprintf(stderr, "tavio: %s\n", why);
        return 1;
    }
    choose_gl_scaling(cl);

    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "tavio: cannot initialise SDL: %s\n", SDL_GetError());
        return 1;
    }
    open_audio();
    syna_init(44100);
    if (syna_get((char *)piisi) < 0) {
        fprintf(stderr, "tavio: embedded song:%d: %s\n", syna_error_line(), syna_error());
        return 1;
    }

    request_fsaa(cl);
    Uint32 flags = SDL_OPENGL | (cl.fullscreen ? SDL_FULLSCREEN : 0);
    if (SDL_SetVideoMode(cl.width, cl.height, 32, flags) == NULL) {
        fprintf(stderr, "tavio: cannot open a %dx%d OpenGL %s: %s\n", cl.width, cl.height,
                cl.fullscreen ? "full screen" : "window", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_WM_SetCaption("Tavio", NULL);
    SDL_ShowCursor(SDL_DISABLE);

    prepare_drawing();
    run_fx();
    SDL_PauseAudio(0);

    int done = 0;
    do {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        set_frame_projection();
        run_fx();
        if (beat.load(std::memory_order_relaxed) > 72)
            done = 1;
        SDL_GL_SwapBuffers();
        if (frame_ends_show())
            done = 1;
    } while (!done);

    SDL_Quit();
    return 0;
}
