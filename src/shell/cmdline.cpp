// The show's command line: options -w and -a, a trailing size, a program name ending in w.
#include "shell/cmdline.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char tavio_usage[] =
    "usage: tavio [-w] [-a] [WIDTH HEIGHT]\n"
    "Plays the Tavio show: full screen at 1024x768 unless told otherwise.\n"
    "  -w             toggle full screen (each -w toggles again; a program\n"
    "                 name ending in 'w' toggles once more)\n"
    "  -a             do not ask the OpenGL driver for antialiasing\n"
    "  WIDTH HEIGHT   window size: the last two arguments, 1 to 16384 each\n"
    "  --help         print this help and exit\n"
    "Escape, a mouse button or closing the window ends the show.\n";

// Reads a number as atoi does (leading blanks, a sign, the digits up to anything
// else, 0 without digits), but a value beyond int saturates instead of being undefined.
static int read_size(const char *text)
{
    long v = strtol(text, NULL, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return (int)v;
}

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
        cl.width = read_size(argv[argc - 2]);
        cl.height = read_size(argv[argc - 1]);
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

const char *cmdline_size_problem(const cmdline &cl)
{
    static char why[160];
    if (cl.width >= 1 && cl.width <= MAX_WINDOW_SIDE && cl.height >= 1 &&
        cl.height <= MAX_WINDOW_SIDE)
        return NULL;
    snprintf(why, sizeof why,
             "window size %dx%d is not possible: width and height must be 1 to %d pixels "
             "(the last two arguments are the size)",
             cl.width, cl.height, MAX_WINDOW_SIDE);
    return why;
}
