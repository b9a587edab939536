// Vertices that OpenGL's feedback mode returns for what a function draws.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

struct fb_vertex {
    float x, y, z;  // window coordinates and depth
};

// Draws in feedback mode and returns the raw feedback stream (tokens and vertex data of
// `type`); fails the test if the buffer overflows.
inline std::vector<float> feedback_stream(const std::function<void()> &draw, GLenum type = GL_3D)
{
    static std::vector<GLfloat> buffer(1 << 23);
    glFeedbackBuffer((GLsizei)buffer.size(), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0) << "feedback buffer too small";
    return std::vector<float>(buffer.begin(), buffer.begin() + std::max(n, 0));
}

// Draws in feedback mode and returns every vertex of every polygon, in drawing order.
inline std::vector<fb_vertex> feedback_vertices(const std::function<void()> &draw, int *polygons = nullptr)
{
    std::vector<float> buffer = feedback_stream(draw);
    int n = (int)buffer.size();
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
