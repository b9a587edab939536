// The brick balls: an inward ball that flashes and an outward ball that frames the parade.
#include "effects/effects.h"

void ball_init(void)
{
}

void ball1(float)
{
}

void ball2(float, int)
{
}
