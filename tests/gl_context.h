// A shared offscreen OpenGL context for the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include "shell/offscreen.h"

// Opens one offscreen context per test program, at the given size.
inline void need_gl_context(int width = 256, int height = 192)
{
    static int opened_w, opened_h;
    if (opened_w == width && opened_h == height)
        return;
    ASSERT_EQ(offscreen_open(width, height), 0) << offscreen_error();
    opened_w = width;
    opened_h = height;
}
