// Spiral, greetings and finale, beats 64 to the end.
#include "shell/scenes.h"

void scene_spiral(float)
{
}

void scene_finale(float)
{
}
