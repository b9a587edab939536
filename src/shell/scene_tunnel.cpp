// Tunnel story, beats 20 to 31: the brick tunnel streaming under the story words.
#include "shell/scenes.h"

void scene_tunnel(float)
{
}
