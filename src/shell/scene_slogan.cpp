// Slogan, beats 48 to 55: the scrolling slogan with the contraption in front.
#include "shell/scenes.h"

void compile_slogan_lists(int)
{
}

void scene_slogan(float)
{
}
