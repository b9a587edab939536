// The tavio program: hands the command line to the show's entry.
#include "shell/entry.h"

int main(int argc, char **argv)
{
    return SDL_main(argc, argv);
}
