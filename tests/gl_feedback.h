// Captures what a piece of drawing sends to the rasterizer, through OpenGL's feedback mode.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <math.h>

#include <vector>

// One polygon as fed back: window x, y and depth (0..1) of each vertex, in order.
typedef std::vector<float> fb_polygon;
typedef std::vector<fb_polygon> fb_polygons;

// Runs `draw` in GL_3D feedback mode (after culling and clipping, before rasterizing)
// and returns the polygons; fails the test if the buffer overflows.
template <class Draw>
fb_polygons feedback_polygons(Draw draw)
{
    static std::vector<GLfloat> buffer(1u << 23);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    fb_polygons out;
    if (n < 0) {
        ADD_FAILURE() << "feedback buffer overflow";
        return out;
    }
    for (GLint i = 0; i < n;) {
        int token = (int)buffer[i++];
        int vertices = 0;
        switch (token) {
        case GL_POLYGON_TOKEN: {
            int count = (int)buffer[i++];
            out.emplace_back(buffer.begin() + i, buffer.begin() + i + 3 * count);
            i += 3 * count;
            continue;
        }
        case GL_PASS_THROUGH_TOKEN:
            i += 1;
            continue;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            vertices = 2;
            break;
        default:  // points, bitmaps and pixel rectangles: one vertex
            vertices = 1;
            break;
        }
        i += 3 * vertices;
    }
    return out;
}

// Whether n polygons of a from index ai match those of b from bi, vertex by vertex,
// within tol pixels in x and y and tol / 1000 in depth.
inline bool polygons_match(const fb_polygons &a, size_t ai, const fb_polygons &b, size_t bi,
                           size_t n, float tol)
{
    if (ai + n > a.size() || bi + n > b.size())
        return false;
    for (size_t k = 0; k < n; k++) {
        const fb_polygon &p = a[ai + k], &q = b[bi + k];
        if (p.size() != q.size())
            return false;
        for (size_t j = 0; j < p.size(); j++) {
            float limit = j % 3 == 2 ? tol / 1000 : tol;
            if (fabsf(p[j] - q[j]) > limit)
                return false;
        }
    }
    return true;
}
