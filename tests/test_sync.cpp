// Sync pulses: note detection from the rows-since-note counts, and the pulse's shape.
#include <gtest/gtest.h>
#include <math.h>

#include "shell/sync.h"
#include "synth/synth.h"

namespace {

struct step {
    int lastrig;   // the count the sequencer has published before the call
    float t;       // the caller's time
    float expect;  // the pulse, or < 0 for "positive"
};

const float POSITIVE = -1;

// Each sequence uses a track of its own: musasynk keeps its state between calls.
void run(int track, std::initializer_list<step> steps)
{
    int i = 0;
    for (const step &s : steps) {
        lastrig[track].store(s.lastrig, std::memory_order_relaxed);
        float got = musasynk(track, s.t);
        if (s.expect == POSITIVE)
            EXPECT_GT(got, 0.0f) << "track " << track << " step " << i;
        else
            EXPECT_NEAR(got, s.expect, 1e-5) << "track " << track << " step " << i;
        i++;
    }
}

TEST(Sync, PulseShape)
{
    const float t0 = 10.0f;
    run(3, {
        {10000000, 9.0f, 0},  // first call: only records the count
        {0, t0, 0},           // a note: the pulse starts, at 0
        {1, t0 + 0.01f, sinf(sqrtf(0.01f * 60))},
        {1, t0 + 0.0411f, 1.0f},  // the top at pi^2 / 240
        {2, t0 + 0.1f, sinf(sqrtf(0.1f * 60))},
        {2, t0 + 0.16f, POSITIVE},
        {2, t0 + 0.165f, 0},  // back to 0 after pi^2 / 60
        {3, t0 + 0.17f, 0},
    });
}

TEST(Sync, NoteDetection)
{
    run(4, {
        {5, 1.0f, 0},
        {6, 1.1f, 0},         // the count grew: no note
        {0, 1.2f, 0},         // it fell: a note
        {0, 1.2f, 0},         // a second call with the same time: same value
        {0, 1.22f, POSITIVE},
        {0, 1.25f, POSITIVE}, // notes on consecutive rows look alike: not seen again
        {1, 1.30f, POSITIVE},
        {0, 1.31f, POSITIVE}, // a note during a pulse does not restart it
        {0, 1.40f, 0},        // the pulse ended at 1.2 + 0.1645
        {3, 1.5f, 0},
        {0, 1.6f, 0},         // a new note
        {0, 1.62f, POSITIVE},
        {0, 1.55f, 0},        // the clock went back: the pulse ends
        {0, 1.63f, 0},        // and does not come back without a note
        {2, 2.0f, 0},
        {1, 2.1f, 0},         // any drop counts, even without reaching 0
        {1, 2.12f, POSITIVE},
    });
}

TEST(Sync, TracksAreIndependent)
{
    run(5, {{7, 0.0f, 0}});
    run(6, {{7, 0.0f, 0}});
    run(5, {{0, 1.0f, 0}, {0, 1.03f, POSITIVE}});
    run(6, {{7, 1.03f, 0}});
}

}  // namespace
