// The brick tunnel: rings of brick slabs streaming past the viewer.
#include "effects/effects.h"

void tunneli_init(void)
{
}

void tunneli(float, int)
{
}
