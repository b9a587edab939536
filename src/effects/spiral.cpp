// The brick spirals: two helices of bricks turning about each other.
#include "effects/effects.h"

void spiral_init(void)
{
}

void spiral(float)
{
}
