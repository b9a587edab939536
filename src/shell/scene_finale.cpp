// Spiral, greetings and finale, beats 64 to the end.
#include "shell/scenes.h"

#include "bricks/bricks.h"

void scene_spiral(float)
{
}

// The closing wall builds up and crumbles at 1.2 times the clock's pace.
void scene_finale(float time)
{
    pathetic((float)(1.2 * time), 3);
}
