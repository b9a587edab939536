// The studded brick: one lit brick with studs, rim, hollow and tubes.
#include "bricks/bricks.h"

void lego_init(void)
{
}

void lego(int, int, int, int, int, float, float, float)
{
}
