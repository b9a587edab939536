// The offscreen context: desktop OpenGL with the fixed-function pipeline, pixels read back.
#include <GL/gl.h>
#include <string.h>

#include <vector>

#include "gl_context.h"
#include "shell/entry.h"

TEST(Offscreen, CompatibilityContextWithLightsAndFeedback)
{
    need_gl_context();
    const char *renderer = (const char *)glGetString(GL_RENDERER);
    ASSERT_NE(renderer, nullptr);
    GLint lights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    EXPECT_EQ(lights, 8) << renderer;

    // A triangle through the show's projection comes back transformed in feedback mode.
    GLfloat buffer[64];
    glFeedbackBuffer(64, GL_3D, buffer);
    glRenderMode(GL_FEEDBACK);
    set_frame_projection();
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, -2);
    glVertex3f(1, 0, -2);
    glVertex3f(0, 1, -2);
    glEnd();
    int values = glRenderMode(GL_RENDER);
    ASSERT_EQ(values, 11);  // token, count, 3 vertices of x y z
    EXPECT_EQ(buffer[0], (GLfloat)GL_POLYGON_TOKEN);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_NEAR(buffer[2], 128.0f, 0.01f);  // the centre of a 256-wide viewport
}

TEST(Offscreen, ReadsRowsTopToBottom)
{
    need_gl_context(64, 48);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 47, 64, 1);  // the top row in OpenGL's bottom-up numbering
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    std::vector<unsigned char> rgb(64 * 48 * 3);
    offscreen_read_rgb(64, 48, rgb.data());
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(rgb[(47 * 64) * 3 + 0], 0);
    EXPECT_EQ(rgb[(47 * 64) * 3 + 2], 255);
}
