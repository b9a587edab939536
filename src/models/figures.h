// The polygon figures: the walker and the serf, loaded from the embedded model dumps.
#pragma once

#include "models/scene.h"

int dudes_init(void);          // 0, or -1 when a model cannot be decoded
void walkers(float t, int count);
void microserf(void);

// The loaded models, for tools and tests.
scene *walker_model(void);
scene *serf_model(void);
