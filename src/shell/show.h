// The show's timeline: run_fx draws one frame from the two clocks and the song position.
#pragma once

void run_fx(void);

// Scene identifiers, in the order of the windows that draw them.
enum scene_id {
    SCENE_SPIRAL = 1,   // brick spiral and greetings, beats 64..71
    SCENE_FINALE,       // finale wall, beats 71 and above
    SCENE_SLOGAN,       // scrolling slogan and contraption, beats 48..55
    SCENE_FACES,        // brick faces and credits, beats 32..47
    SCENE_BALL,         // brick ball, beats 0..19
    SCENE_PARADE,       // serf parade, beats 8..19
    SCENE_TUNNEL,       // brick tunnel and story, beats 20..31
    SCENE_TITLES,       // opening titles, beats 0..7
    SCENE_WALKERS,      // walkers on a moving floor, beats 56..63
    SCENE_COUNT
};

extern const char *const scene_names[SCENE_COUNT];  // short lower-case names, [0] = "none"

// What the last run_fx call drew: the scenes in drawing order and the clock each was given.
enum { FX_LOG_MAX = 8 };
struct fx_log {
    int count;
    int scene[FX_LOG_MAX];
    float time[FX_LOG_MAX];
};
const fx_log &run_fx_log(void);
