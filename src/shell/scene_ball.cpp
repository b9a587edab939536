// Brick ball window, beats 0 to 19: flashes with the snare, then frames the serf parade.
#include "shell/scenes.h"

void scene_ball(float)
{
}
