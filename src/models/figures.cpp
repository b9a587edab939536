// The walker and the serf figures, decoded from the embedded model dumps.
#include "models/figures.h"

int dudes_init(void)
{
    return 0;
}

void walkers(float, int)
{
}

void microserf(void)
{
}
