// The show's command line: options -w and -a, a trailing size, a program name ending in w.
#pragma once

struct cmdline {
    int width, height;  // window size in pixels; 1024 x 768 unless the last two arguments give one
    int fullscreen;     // 1 = full screen (the default), 0 = windowed
    int fsaa;           // 1 = ask the driver for antialiasing through __GL_FSAA_MODE
    int help;           // 1 = --help was given: print the usage and exit
};

enum { MAX_WINDOW_SIDE = 16384 };  // largest width or height in pixels that the show asks for

// Reads the arguments exactly as the show always has; never fails. A size that
// is no size (0, negative, a word, an option) is left for cmdline_size_problem.
cmdline parse_cmdline(int argc, char **argv);

// Null when the window size can be asked for, else one line saying what is wrong.
const char *cmdline_size_problem(const cmdline &cl);

// Puts "__GL_FSAA_MODE=4" into the environment when asked for and not already set.
void request_fsaa(const cmdline &cl);

extern const char tavio_usage[];
