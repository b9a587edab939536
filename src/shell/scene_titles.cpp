// Opening titles, beats 0 to 7: three brick title cards released by the snare.
#include "shell/scenes.h"

void compile_title_lists(int)
{
}

void scene_titles(float)
{
}
