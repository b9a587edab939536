// Vertices that OpenGL's feedback mode returns for what a function draws.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

struct fb_vertex {
    float x, y, z;  // window coordinates and depth
};

// Draws in feedback mode and returns every vertex of every polygon, in drawing order.
inline std::vector<fb_vertex> feedback_vertices(const std::function<void()> &draw, int *polygons = nullptr)
{
    static std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    std::vector<fb_vertex> out;
    int count = 0;
    for (int i = 0; i < n;) {
        if (buffer[i] == GL_POLYGON_TOKEN) {
            int corners = (int)buffer[i + 1];
            for (int k = 0; k < corners; k++)
                out.push_back({buffer[i + 2 + 3 * k], buffer[i + 3 + 3 * k], buffer[i + 4 + 3 * k]});
            i += 2 + 3 * corners;
            count++;
        } else {
            i += buffer[i] == GL_PASS_THROUGH_TOKEN ? 2 : 1;
        }
    }
    if (polygons)
        *polygons = count;
    return out;
}
