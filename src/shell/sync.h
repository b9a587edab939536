// Sync pulses: a short 0..1 pulse for every note a synthesizer track starts.
#pragma once

// The pulse of `track` (0..29) at time `t` (seconds of the caller's clock):
// sin(sqrt(60 dt)) for dt < pi^2/60 after the call that saw the note, else 0.
// Every call updates the track's state, so the number and order of calls matter.
float musasynk(int track, float t);
