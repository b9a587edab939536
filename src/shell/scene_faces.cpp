// Faces and credits, beats 32 to 47: brick faces assembling and dissolving.
#include "shell/scenes.h"

void scene_faces(float)
{
}
