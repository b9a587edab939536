// The show's timeline: the two clocks, the one-time text lists and the eight scene windows.
#include "shell/show.h"

#include <GL/gl.h>

#include "shell/clock.h"
#include "shell/scenes.h"
#include "synth/synth.h"

timeline tl = {0, 0, 0, 0, -1, -1, 0, 0, 0};

const char *const scene_names[SCENE_COUNT] = {
    "none", "spiral", "finale", "slogan", "faces", "ball", "parade", "tunnel", "titles", "walkers",
};

static fx_log frame_log;

const fx_log &run_fx_log(void)
{
    return frame_log;
}

void restamp_t(void)
{
    tl.tid = (float)show_ticks();
}

void restamp_t2(void)
{
    tl.tid2 = (float)show_ticks();
}

// Each clock reads the tick count anew; the subtraction is single precision.
static void update_clocks(void)
{
    if (!(tl.tid > 0))
        tl.tid = (float)show_ticks();
    tl.t = (float)(((float)show_ticks() - tl.tid) * 0.001);
    tl.t2 = (float)(((float)show_ticks() - tl.tid2) * 0.001);
}

static void compile_text_lists(void)
{
    if (tl.sika == -1) {
        tl.sika = (int)glGenLists(3);
        compile_slogan_lists(tl.sika);
    }
    if (tl.kuk == -1) {
        tl.kuk = (int)glGenLists(3);
        compile_title_lists(tl.kuk);
    }
}

// The song position is re-read for every window: the audio thread may move it at any time.
static bool beat_in(int lo, int hi)
{
    int b = beat.load(std::memory_order_relaxed);
    return b >= lo && b <= hi;
}

static void draw(int scene, void (*fn)(float), float time)
{
    if (frame_log.count < FX_LOG_MAX) {
        frame_log.scene[frame_log.count] = scene;
        frame_log.time[frame_log.count] = time;
        frame_log.count++;
    }
    fn(time);
}

void run_fx(void)
{
    update_clocks();
    compile_text_lists();
    frame_log.count = 0;

    if (beat_in(64, 71))
        draw(SCENE_SPIRAL, scene_spiral, tl.t);
    if (beat_in(64, 70))
        restamp_t2();
    if (beat_in(71, 0x7fffffff))
        draw(SCENE_FINALE, scene_finale, tl.t2);

    if (beat_in(48, 55)) {
        restamp_t2();
        draw(SCENE_SLOGAN, scene_slogan, tl.t);
    }
    if (beat_in(32, 47)) {
        restamp_t();
        draw(SCENE_FACES, scene_faces, tl.t2);
    }
    if (beat_in(0, 19))
        draw(SCENE_BALL, scene_ball, beat_in(0, 7) ? tl.t : tl.t2);
    if (beat_in(8, 19)) {
        restamp_t();
        draw(SCENE_PARADE, scene_parade, tl.t2);
    }
    if (beat_in(20, 31)) {
        restamp_t2();
        draw(SCENE_TUNNEL, scene_tunnel, tl.t);
    }
    if (beat_in(0, 7)) {
        restamp_t2();
        draw(SCENE_TITLES, scene_titles, tl.t);
    }
    if (beat_in(56, 63)) {
        restamp_t();
        draw(SCENE_WALKERS, scene_walkers, tl.t2);
    }
}
