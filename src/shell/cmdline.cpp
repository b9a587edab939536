// The show's command line: options -w and -a, a trailing size, a program name ending in w.
#include "shell/cmdline.h"

#include <stdlib.h>
#include <string.h>

const char tavio_usage[] =
    "usage: tavio [-w] [-a] [WIDTH HEIGHT]\n"
    "Plays the Tavio show: full screen at 1024x768 unless told otherwise.\n"
    "  -w             toggle full screen (each -w toggles again; a program\n"
    "                 name ending in 'w' toggles once more)\n"
    "  -a             do not ask the OpenGL driver for antialiasing\n"
    "  WIDTH HEIGHT   window size: the last two arguments\n"
    "  --help         print this help and exit\n"
    "Escape, a mouse button or closing the window ends the show.\n";

cmdline parse_cmdline(int argc, char **argv)
{
    cmdline cl;
    unsigned fullscreen_toggles = 0;
    int opts = 0;

    cl.fsaa = 1;
    cl.help = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-w") == 0) {
            fullscreen_toggles++;
            opts++;
        }
        if (strcmp(argv[i], "-a") == 0) {
            cl.fsaa = 0;
            opts++;
        }
        if (strcmp(argv[i], "--help") == 0)
            cl.help = 1;
    }

    // The last two arguments are the size whatever they are: an option among them reads as 0.
    if (argc >= opts + 3) {
        cl.width = atoi(argv[argc - 2]);
        cl.height = atoi(argv[argc - 1]);
    } else {
        cl.width = 1024;
        cl.height = 768;
    }

    // Full screen is the default; each -w toggles, and so does a name ending in 'w'.
    fullscreen_toggles++;
    const char *name = argc > 0 && argv[0] ? argv[0] : "";
    size_t n = strlen(name);
    if (n > 0 && name[n - 1] == 'w')
        fullscreen_toggles++;
    cl.fullscreen = (int)(fullscreen_toggles & 1);
    return cl;
}

void request_fsaa(const cmdline &cl)
{
    static char fsaa_request[] = "__GL_FSAA_MODE=4";
    if (cl.fsaa && getenv("__GL_FSAA_MODE") == NULL)
        putenv(fsaa_request);
}
