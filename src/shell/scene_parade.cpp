// Serf parade, beats 8 to 19: serfs marching through the ball under their words.
#include "shell/scenes.h"

void scene_parade(float)
{
}
