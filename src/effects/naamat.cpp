// The brick faces: pictures of bricks that fall into place on a plate.
#include "effects/effects.h"

void naamat_init(void)
{
}

void naamat(float, int, float)
{
}
