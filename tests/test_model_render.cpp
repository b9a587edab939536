// Scene rendering: light slots read back from OpenGL, a part turned on its hinge, find_object.
#include <GL/gl.h>
#include <math.h>

#include "feedback.h"
#include "gl_context.h"
#include "model_fixture.h"
#include "models/figures.h"
#include "models/render.h"

namespace {

const std::string hinge_obj = std::string(TAVIO_SOURCE_DIR) + "/tests/fixtures/hinge.obj";

void identity_view()
{
    glViewport(0, 0, 256, 192);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::vector<float> light_get(GLenum light, GLenum what)
{
    std::vector<float> v(4);
    glGetLightfv(light, what, v.data());
    return v;
}

std::vector<float> first_corner(scene *s, const char *light)
{
    const object *o = find_object(s, light);
    const float *v = s->verts + 3 * o->groups->faces->vi[0];
    return {v[0], v[1], v[2], 0};
}

}  // namespace

TEST(ModelRender, WalkerLightsTakeSlotsZeroAndOneInListOrder)
{
    need_gl_context();
    identity_view();
    if (!walker_model()->objects) {
        ASSERT_EQ(dudes_init(), 0);
    }
    scene *w = walker_model();
    for (int light = 0; light < 8; light++)
        glEnable(GL_LIGHT0 + light);
    for (int pass = 0; pass < 2; pass++) {  // the same assignment frame after frame
        render_scene(w);
        for (int light = 0; light < 8; light++)
            EXPECT_EQ(glIsEnabled(GL_LIGHT0 + light), light < 2) << "light " << light;
        EXPECT_EQ(light_get(GL_LIGHT0, GL_POSITION), first_corner(w, "point2"));
        EXPECT_EQ(light_get(GL_LIGHT1, GL_POSITION), first_corner(w, "point1"));
        EXPECT_EQ(light_get(GL_LIGHT0, GL_DIFFUSE), (std::vector<float>{1, 1, 1, 1}));
        EXPECT_EQ(light_get(GL_LIGHT1, GL_AMBIENT), (std::vector<float>{0, 0, 0, 1}));
        EXPECT_EQ(light_get(GL_LIGHT1, GL_SPECULAR), (std::vector<float>{1, 1, 1, 1}));
        float cutoff;
        glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
        EXPECT_EQ(cutoff, 180);
    }
}

TEST(ModelRender, SceneWithoutLightsChangesNoLight)
{
    need_gl_context();
    identity_view();
    if (!serf_model()->objects) {
        ASSERT_EQ(dudes_init(), 0);
    }
    const std::vector<float> pos = {1, 2, 3, 1};
    for (int light = 0; light < 8; light++)
        glDisable(GL_LIGHT0 + light);
    glLightfv(GL_LIGHT3, GL_POSITION, pos.data());
    glEnable(GL_LIGHT3);
    glDisable(GL_LIGHT0);
    glEnable(GL_LIGHT6);
    render_scene(serf_model());
    for (int light = 0; light < 8; light++)
        EXPECT_EQ(glIsEnabled(GL_LIGHT0 + light), light == 3 || light == 6) << "light " << light;
    EXPECT_EQ(light_get(GL_LIGHT3, GL_POSITION), pos);
    glDisable(GL_LIGHT6);
}

TEST(ModelRender, PartTurnsAboutItsHinge)
{
    need_gl_context();
    identity_view();
    glDisable(GL_CULL_FACE);
    scene s = {};
    ASSERT_EQ(load_scene(&s, hinge_obj.c_str()), 0);
    object *arm = find_object(&s, "arm");
    ASSERT_NE(arm, nullptr);
    // Window coordinates of a model point under a modelview scaled by 1/4.
    auto window = [](float x, float y, float z) {
        return fb_vertex{(0.25f * x + 1) * 128, (0.25f * y + 1) * 96, (0.25f * z + 1) / 2};
    };
    const struct {
        float angle;
        std::vector<fb_vertex> expect;  // the bar's corners (2,0,0) (3,0,0) (3,1,0) (2,1,0), turned
    } cases[] = {
        {0, {window(2, 0, 0), window(3, 0, 0), window(3, 1, 0), window(2, 1, 0)}},
        // a quarter turn about the vertical line through (1, 0, 0), counter-clockwise from above
        {90, {window(1, 0, -1), window(1, 0, -2), window(1, 1, -2), window(1, 1, -1)}},
        {180, {window(0, 0, 0), window(-1, 0, 0), window(-1, 1, 0), window(0, 1, 0)}},
    };
    for (const auto &c : cases) {
        arm->angle = c.angle;
        auto v = feedback_vertices([&] {
            glLoadIdentity();
            glScalef(0.25f, 0.25f, 0.25f);
            render_scene(&s);
        });
        // The pivot and the light draw nothing: every vertex is a corner of the bar
        // (OpenGL may hand the quad back as two triangles), and every corner is there.
        auto same = [](fb_vertex a, fb_vertex b) {
            return fabsf(a.x - b.x) < 1e-3f && fabsf(a.y - b.y) < 1e-3f && fabsf(a.z - b.z) < 1e-5f;
        };
        ASSERT_GE(v.size(), 4u) << c.angle;
        for (const fb_vertex &got : v) {
            bool known = false;
            for (const fb_vertex &e : c.expect)
                known |= same(got, e);
            EXPECT_TRUE(known) << c.angle << ": " << got.x << " " << got.y << " " << got.z;
        }
        for (int k = 0; k < 4; k++) {
            bool found = false;
            for (const fb_vertex &got : v)
                found |= same(got, c.expect[k]);
            EXPECT_TRUE(found) << c.angle << " corner " << k;
        }
    }
    GLint depth;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    delete_scene(&s);
}

TEST(ModelRender, FindObjectTakesTheOneNearestTheHead)
{
    scene s = {};
    ASSERT_EQ(import_text(&s, "o twin\no other\no twin\n", ""), 0);
    EXPECT_EQ(find_object(&s, "twin"), s.objects);  // read last
    EXPECT_EQ(find_object(&s, "other"), s.objects->next);
    EXPECT_EQ(find_object(&s, "twi"), nullptr);
    EXPECT_EQ(find_object(&s, "nobody"), nullptr);
    delete_scene(&s);
}
