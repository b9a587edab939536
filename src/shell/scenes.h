// The scenes of the show and the timeline state they share with run_fx.
#pragma once

// State kept by run_fx from call to call; read and written only by run_fx and its scenes.
struct timeline {
    float tid, tid2;  // tick counts (ms) at which clocks t and t2 read 0
    float t, t2;      // the two show clocks in seconds, computed at the start of every frame
    int sika;         // first of three display lists of the slogan words, -1 until built
    int kuk;          // first of three display lists of the title cards, -1 until built
    int first;        // how many title cards a note has released, 0..3
    float turn, turn2;  // time marks of the faces scene
};
extern timeline tl;

// Re-stamps a clock: it reads 0 from the current tick count on.
void restamp_t(void);
void restamp_t2(void);

// The one-time text lists, compiled in run_fx's prologue.
void compile_slogan_lists(int first_list);
void compile_title_lists(int first_list);

// One function per scene window; `time` is the clock the window reads.
void scene_spiral(float time);
void scene_finale(float time);
void scene_slogan(float time);
void scene_faces(float time);
void scene_ball(float time);
void scene_parade(float time);
void scene_tunnel(float time);
void scene_titles(float time);
void scene_walkers(float time);
