// What a drawing call emits, captured through OpenGL feedback and mapped back to its own frame.
#pragma once

#include <GL/gl.h>
#include <math.h>

#include <functional>
#include <vector>

#include "gl_context.h"

struct vec3 {
    float x, y, z;
};

struct polygon {
    std::vector<vec3> v;  // in the drawing's own frame, in emission order
    vec3 normal;          // unit normal from the winding: counter-clockwise seen from its tip
    vec3 centroid;
    std::vector<vec3> rgb;  // lit vertex colours, when captured with colour
    bool culled;          // drawn with face culling on: seen from one side only
};

namespace feedback_detail {

const int view_w = 256, view_h = 192;

// An oblique view from above, right and in front, so that no face is seen edge-on.
inline void oblique_view(float half)
{
    glViewport(0, 0, view_w, view_h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -0.75 * half, 0.75 * half, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(25, 1, 0, 0);
    glRotatef(-35, 0, 1, 0);
}

struct raw_polygon {
    std::vector<vec3> window;
    std::vector<vec3> rgb;
};

inline std::vector<raw_polygon> one_pass(const std::function<void()> &draw, float half,
                                         GLenum cull_face, bool cull_on_entry,
                                         bool with_colour = false)
{
    static std::vector<GLfloat> buffer(1 << 22);
    oblique_view(half);
    glCullFace(cull_face);
    if (cull_on_entry)
        glEnable(GL_CULL_FACE);
    else
        glDisable(GL_CULL_FACE);
    glFeedbackBuffer((GLsizei)buffer.size(), with_colour ? GL_3D_COLOR : GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    int n = glRenderMode(GL_RENDER);
    std::vector<raw_polygon> out;
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    for (int i = 0; i < n;) {
        int token = (int)buffer[i++];
        if (token == GL_POLYGON_TOKEN) {
            int count = (int)buffer[i++];
            raw_polygon p;
            for (int k = 0; k < count; k++) {
                p.window.push_back({buffer[i], buffer[i + 1], buffer[i + 2]});
                i += 3;
                if (with_colour) {
                    p.rgb.push_back({buffer[i], buffer[i + 1], buffer[i + 2]});
                    i += 4;  // RGBA
                }
            }
            out.push_back(p);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i++;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

inline bool same(const raw_polygon &a, const raw_polygon &b)
{
    if (a.window.size() != b.window.size())
        return false;
    for (size_t k = 0; k < a.window.size(); k++)
        if (a.window[k].x != b.window[k].x || a.window[k].y != b.window[k].y ||
            a.window[k].z != b.window[k].z)
            return false;
    return true;
}

inline polygon to_object(const raw_polygon &r, float half)
{
    GLfloat m[16];
    oblique_view(half);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    polygon p;
    p.rgb = r.rgb;
    for (const vec3 &w : r.window) {
        float e[3] = {(2 * w.x / view_w - 1) * half, (2 * w.y / view_h - 1) * 0.75f * half,
                      -(2 * w.z - 1) * 100};
        vec3 o;
        o.x = m[0] * e[0] + m[1] * e[1] + m[2] * e[2];  // the inverse of a rotation
        o.y = m[4] * e[0] + m[5] * e[1] + m[6] * e[2];
        o.z = m[8] * e[0] + m[9] * e[1] + m[10] * e[2];
        p.v.push_back(o);
    }
    // Newell's normal keeps the winding's sense; the centroid is the vertex mean.
    vec3 n = {0, 0, 0}, c = {0, 0, 0};
    for (size_t k = 0; k < p.v.size(); k++) {
        const vec3 &a = p.v[k], &b = p.v[(k + 1) % p.v.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
        c.x += a.x / p.v.size();
        c.y += a.y / p.v.size();
        c.z += a.z / p.v.size();
    }
    float len = sqrtf(n.x * n.x + n.y * n.y + n.z * n.z);
    p.normal = len > 1e-6f ? vec3{n.x / len, n.y / len, n.z / len} : vec3{0, 0, 0};
    p.centroid = c;
    return p;
}

}  // namespace feedback_detail

// Draws twice, culling back faces and then front faces, and returns every
// non-degenerate polygon once (Mesa hands quads back as two triangles). A polygon
// seen in both passes was drawn with culling off. The modelview on entry to `draw` is the oblique view, and the
// drawing must fit in `half` units around the origin. With colour, each vertex
// also carries its lit colour.
inline std::vector<polygon> capture_polygons(const std::function<void()> &draw, float half = 8,
                                             bool cull_on_entry = false, bool with_colour = false)
{
    using namespace feedback_detail;
    need_gl_context(view_w, view_h);
    std::vector<raw_polygon> front = one_pass(draw, half, GL_BACK, cull_on_entry, with_colour);
    std::vector<raw_polygon> back = one_pass(draw, half, GL_FRONT, cull_on_entry, with_colour);
    std::vector<bool> back_matched(back.size());
    std::vector<polygon> out;
    size_t next = 0;  // the unculled polygons come in the same order in both passes
    for (const raw_polygon &r : front) {
        bool twice = false;
        for (size_t k = next; k < back.size() && !twice; k++)
            if (!back_matched[k] && same(r, back[k])) {
                back_matched[k] = twice = true;
                next = k + 1;
            }
        polygon p = to_object(r, half);
        p.culled = !twice;
        out.push_back(p);
    }
    for (size_t k = 0; k < back.size(); k++)
        if (!back_matched[k]) {
            polygon p = to_object(back[k], half);
            p.culled = true;
            out.push_back(p);
        }
    std::vector<polygon> solid;
    for (const polygon &p : out)
        if (p.normal.x != 0 || p.normal.y != 0 || p.normal.z != 0)
            solid.push_back(p);
    return solid;
}
