// Walkers, beats 56 to 63: walking figures on a moving floor.
#include "shell/scenes.h"

void scene_walkers(float)
{
}
