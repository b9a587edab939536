// The walker and the serf: loading from the embedded dumps, posing, lights and a look at them.
#include <GL/gl.h>
#include <math.h>

#include <string>
#include <vector>

#include "gl_context.h"
#include "models/figures.h"
#include "models/render.h"
#include "shell/entry.h"
#include "shell/png.h"

namespace {

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

}  // namespace

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
    EXPECT_GT(pixels_of(serfs, RED), 5000);     // tunics
    EXPECT_GT(pixels_of(serfs, BLUE), 500);     // hoods
    EXPECT_GT(pixels_of(serfs, WHITE), 300);    // sacks
}
