// The contraption: three nested brick frames swinging about each other.
#include "effects/effects.h"

void hakkyra_init(void)
{
}

void hakkyra(float)
{
}
