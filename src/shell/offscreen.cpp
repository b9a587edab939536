// An offscreen OpenGL context for tests and tools: EGL on Mesa's surfaceless platform.
#include "shell/offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <stdio.h>
#include <string.h>

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

static EGLDisplay display = EGL_NO_DISPLAY;
static EGLContext context = EGL_NO_CONTEXT;
static EGLSurface surface = EGL_NO_SURFACE;
static char error_text[256];

const char *offscreen_error(void)
{
    return error_text;
}

static int fail(const char *what)
{
    snprintf(error_text, sizeof error_text, "%s (EGL error 0x%04x)", what, eglGetError());
    offscreen_close();
    return -1;
}

static EGLDisplay surfaceless_display(void)
{
    auto get_platform_display =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!get_platform_display)
        return EGL_NO_DISPLAY;
    return get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, NULL);
}

int offscreen_open(int width, int height)
{
    if (width <= 0 || height <= 0) {
        snprintf(error_text, sizeof error_text, "bad size %dx%d", width, height);
        return -1;
    }
    offscreen_close();
    display = surfaceless_display();
    if (display == EGL_NO_DISPLAY)
        return fail("no EGL surfaceless display (is libegl-mesa0 installed?)");
    if (!eglInitialize(display, NULL, NULL))
        return fail("cannot initialise EGL");
    if (!eglBindAPI(EGL_OPENGL_API))
        return fail("EGL has no desktop OpenGL");

    const EGLint config_attribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24,
        EGL_NONE,
    };
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(display, config_attribs, &config, 1, &configs) || configs < 1)
        return fail("no EGL config with RGBA8, depth 24 and pbuffers");

    const EGLint context_attribs[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE,
    };
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attribs);
    if (context == EGL_NO_CONTEXT)
        return fail("cannot create an OpenGL compatibility context");

    const EGLint surface_attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, surface_attribs);
    if (surface == EGL_NO_SURFACE)
        return fail("cannot create the pbuffer");
    if (!eglMakeCurrent(display, surface, surface, context))
        return fail("cannot make the context current");
    glViewport(0, 0, width, height);
    return 0;
}

void offscreen_close(void)
{
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface != EGL_NO_SURFACE)
        eglDestroySurface(display, surface);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    eglTerminate(display);
    display = EGL_NO_DISPLAY;
    context = EGL_NO_CONTEXT;
    surface = EGL_NO_SURFACE;
}

void offscreen_read_rgb(int width, int height, unsigned char *rgb)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    // OpenGL's rows run bottom-up; swap them in place.
    size_t row = (size_t)width * 3;
    for (int y = 0; y < height / 2; y++) {
        unsigned char *a = rgb + (size_t)y * row;
        unsigned char *b = rgb + (size_t)(height - 1 - y) * row;
        for (size_t i = 0; i < row; i++) {
            unsigned char c = a[i];
            a[i] = b[i];
            b[i] = c;
        }
    }
}
