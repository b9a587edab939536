// The walker and the serf: loading from the embedded dumps, posing, lights and a look at them.
#include <GL/gl.h>
#include <math.h>

#include <string.h>

#include <string>
#include <vector>

#include "feedback.h"
#include "gl_context.h"
#include "models/figures.h"
#include "models/render.h"
#include "shell/entry.h"
#include "shell/png.h"

extern unsigned char walkerdata[], serfdata[];

namespace {

int object_count(const scene *s)
{
    int n = 0;
    for (const object *o = s->objects; o; o = o->next)
        n++;
    return n;
}

int material_count(const scene *s)
{
    int n = 0;
    for (const material *m = s->materials; m; m = m->next)
        n++;
    return n;
}

void load_figures_once()
{
    if (!walker_model()->objects) {
        ASSERT_EQ(dudes_init(), 0);
    }
}

enum hue { YELLOW, RED, BLUE, WHITE };

// Counts the pixels of a frame that show one of the figures' colours, lit or shaded.
int pixels_of(const std::vector<unsigned char> &rgb, hue h)
{
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        switch (h) {
        case YELLOW: n += r > 110 && g > 100 && b < r / 2; break;
        case RED: n += r > 110 && g < r / 3 && b < r / 3; break;
        case BLUE: n += b > 110 && r < b / 2 && g < b * 3 / 4; break;
        case WHITE: n += r > 170 && g > 170 && b > 170; break;
        }
    }
    return n;
}

std::vector<unsigned char> frame(int w, int h, void (*draw)(void), const char *png_name)
{
    need_gl_context(w, h);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    set_frame_projection();
    draw();
    std::vector<unsigned char> rgb(w * h * 3);
    offscreen_read_rgb(w, h, rgb.data());
    std::string path = std::string(TAVIO_BINARY_DIR) + "/" + png_name;
    png_write(path.c_str(), w, h, rgb.data());
    return rgb;
}

// Angles of the five posed parts, in the order rarm, larm, head, lfoot, rfoot.
std::vector<float> pose()
{
    std::vector<float> a;
    for (const char *n : {"rarm", "larm", "head", "lfoot", "rfoot"})
        a.push_back(find_object(walker_model(), n)->angle);
    return a;
}

void flat_view()
{
    glViewport(0, 0, 256, 192);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(0.05f, 0.05f, 0.05f);
}

float mean_x(const std::vector<fb_vertex> &v, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; i++)
        sum += v[i].x;
    return (float)(sum / count);
}

}  // namespace

TEST(Figures, EmbeddedWalkerHasItsHingesAndLights)
{
    load_figures_once();
    EXPECT_EQ(walkerdata[0] | walkerdata[1] << 8, 3596);
    scene *w = walker_model();
    const struct {
        const char *pivot;
        float origin[3], axis[3];
    } hinges[] = {
        {"pivot_larm", {1.6824f, 2.3751f, 0}, {1.9643f, 0.3759f, 0}},
        {"pivot_rarm", {-1.6721f, 2.3751f, 0}, {-1.9645f, 0.3759f, 0}},
        {"pivot_lfoot", {0.1858f, -1.2689f, 0}, {2.0001f, -0.0011f, 0}},
        {"pivot_rfoot", {-0.1877f, -1.2689f, 0}, {-2.0f, -0.0011f, 0}},
        {"pivot_head", {-0.0039f, 4.5539f, 0}, {-0.0001f, 2.0f, 0}},
    };
    for (const auto &h : hinges) {
        const object *p = find_object(w, h.pivot);
        ASSERT_NE(p, nullptr) << h.pivot;
        EXPECT_EQ(p->type, OBJECT_PIVOT);
        for (int k = 0; k < 3; k++) {
            EXPECT_NEAR(p->origin[k], h.origin[k], 2e-4) << h.pivot;
            EXPECT_NEAR(p->axis[k], h.axis[k], 2e-4) << h.pivot;
        }
        const object *part = find_object(w, h.pivot + 6);
        ASSERT_NE(part, nullptr) << h.pivot;
        EXPECT_EQ(part->pivot, p) << h.pivot;
    }
    for (const char *free_part : {"waist", "body", "point1", "point2"})
        EXPECT_EQ(find_object(w, free_part)->pivot, nullptr) << free_part;

    std::vector<std::string> lights;
    for (const object *o = w->objects; o; o = o->next)
        if (o->type == OBJECT_LIGHT)
            lights.push_back(o->name);
    EXPECT_EQ(lights, (std::vector<std::string>{"point2", "point1"}));
    EXPECT_EQ(object_count(w), 14);
    EXPECT_EQ(material_count(w), 6);

    scene *s = serf_model();
    EXPECT_EQ(serfdata[0] | serfdata[1] << 8, 4111);
    EXPECT_EQ(object_count(s), 3);
    EXPECT_EQ(material_count(s), 5);
    EXPECT_EQ(s->has_lights, 0);

    // Every group is named after its object and its material.
    for (scene *m : {w, s})
        for (const object *o = m->objects; o; o = o->next)
            for (const group *g = o->groups; g; g = g->next)
                EXPECT_EQ(std::string(g->name), std::string(o->name) + "_" + g->material->name);
}

TEST(Figures, WalkerPoseBobAndRoll)
{
    load_figures_once();
    need_gl_context();
    const struct {
        float t;
        std::vector<float> angles;  // rarm, larm, head, lfoot, rfoot
        float bob, roll;
    } cases[] = {
        {0, {10, -10, 0, 0, 0}, -0.5f, -2},
        {(float)M_PI / 10, {-50, -70, 15, 40, 40}, -0.5f, 0},
        {(float)M_PI / 20, {60 * sinf(-(float)M_PI / 4) + 10, 60 * sinf(-(float)M_PI / 4) - 10,
                            15 * sinf((float)M_PI / 4), 40 * sinf((float)M_PI / 4), 40 * sinf((float)M_PI / 4)},
         -0.4f, -2 * cosf((float)M_PI / 4)},
    };
    for (const auto &c : cases) {
        flat_view();
        auto drawn = feedback_vertices([&] { walkers(c.t, 1); });
        auto angles = pose();
        for (int k = 0; k < 5; k++)
            EXPECT_NEAR(angles[k], c.angles[k], 1e-4) << "t " << c.t << " part " << k;
        // The same pose by hand: the bob, then the roll about z.
        auto by_hand = feedback_vertices([&] {
            glPushMatrix();
            glTranslatef(0, c.bob, 0);
            glRotatef(c.roll, 0, 0, 1);
            render_scene(walker_model());
            glPopMatrix();
        });
        ASSERT_EQ(drawn.size(), by_hand.size()) << "t " << c.t;
        ASSERT_GT(drawn.size(), 1000u);
        for (size_t i = 0; i < drawn.size(); i += 37) {
            EXPECT_NEAR(drawn[i].x, by_hand[i].x, 2e-3) << "t " << c.t << " vertex " << i;
            EXPECT_NEAR(drawn[i].y, by_hand[i].y, 2e-3) << "t " << c.t << " vertex " << i;
        }
    }
    // A row a second later is 5 radians further on in its stride.
    walkers(1.0f, 1);
    auto later = pose();
    walkers(0.0f, 1);
    EXPECT_NEAR(later[0], 60 * sin(-5.0) + 10, 1e-3);
}

TEST(Figures, RowsAreCentredSevenUnitsApart)
{
    load_figures_once();
    need_gl_context();
    flat_view();
    auto one = feedback_vertices([] { walkers(0.7f, 1); });
    float centre = mean_x(one, 0, one.size());
    const float unit = 0.05f * 128;  // window pixels per model unit
    const struct {
        int count;
        std::vector<float> at;
    } cases[] = {{3, {-7, 0, 7}}, {2, {-3.5f, 3.5f}}, {1, {0}}, {0, {}}};
    for (const auto &c : cases) {
        find_object(walker_model(), "head")->angle = 99;
        glDisable(GL_LIGHTING);
        auto v = feedback_vertices([&] { walkers(0.7f, c.count); });
        ASSERT_EQ(v.size(), one.size() * c.count) << c.count;
        for (int i = 0; i < c.count; i++)
            EXPECT_NEAR(mean_x(v, i * one.size(), one.size()), centre + c.at[i] * unit, 1e-2)
                << c.count << " figures, figure " << i;
        EXPECT_NEAR(find_object(walker_model(), "head")->angle, 15 * sin(3.5), 1e-4);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE));
    }
}

TEST(Figures, SerfSetsItsOwnLightAndKeepsTheMatrix)
{
    load_figures_once();
    need_gl_context();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glDisable(GL_LIGHT0);
    glEnable(GL_LIGHT5);
    microserf();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(memcmp(before, after, sizeof before), 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));  // the serf has no lights of its own
    std::vector<float> v(4);
    glGetLightfv(GL_LIGHT0, GL_POSITION, v.data());
    EXPECT_EQ(v, (std::vector<float>{3, 8, 13, 1}));  // (2, 6, 10) in the caller's frame
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v.data());
    EXPECT_EQ(v, (std::vector<float>{0.3f, 0.3f, 0.3f, 1}));
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v.data());
    EXPECT_EQ(v, (std::vector<float>{1, 1, 1, 1}));
    glDisable(GL_LIGHT5);
}

TEST(Figures, RenderedFramesShowTheFiguresInTheirColours)
{
    load_figures_once();
    auto walker_row = frame(512, 384, [] {
        glTranslatef(0, 0, -20);
        walkers(0.3f, 3);
    }, "figures-walkers.png");
    EXPECT_GT(pixels_of(walker_row, YELLOW), 1500);  // heads and hands
    EXPECT_GT(pixels_of(walker_row, RED), 3000);     // torsos and sleeves
    EXPECT_GT(pixels_of(walker_row, BLUE), 1000);    // hips and legs

    // One walker at mid-stride, turned towards the viewer's left, for a closer look.
    auto close = frame(512, 384, [] {
        glTranslatef(0, -0.5f, -13);
        glRotatef(35, 0, 1, 0);
        walkers((float)M_PI / 10, 1);
    }, "figures-walker-close.png");
    EXPECT_GT(pixels_of(close, YELLOW), 1000);
    EXPECT_GT(pixels_of(close, BLUE), 1000);

    auto serfs = frame(512, 384, [] {
        glTranslatef(0, 0, -14);
        glPushMatrix();
        glTranslatef(-4, 0, 0);
        microserf();
        glPopMatrix();
        glTranslatef(4, 0, 0);
        glRotatef(40, 0, 1, 0);
        microserf();
    }, "figures-serfs.png");
    EXPECT_GT(pixels_of(serfs, YELLOW), 1500);  // faces and hands
    EXPECT_GT(pixels_of(serfs, RED), 3000);     // tunics
    EXPECT_GT(pixels_of(serfs, BLUE), 500);     // hoods
    EXPECT_GT(pixels_of(serfs, WHITE), 300);    // sacks
}
