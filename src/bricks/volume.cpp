// Brick volumes: cells of palette indices drawn as bricks, hidden ones left out.
#include "bricks/bricks.h"

void draw_volume(int, int, const signed char *, int, int, int)
{
}

// Placeholder colours until the volumes are built.
const float lclr[7][3] = {{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {1, 1, 1}, {0, 0, 1}, {0, 1, 0}, {0, 0, 0}};
