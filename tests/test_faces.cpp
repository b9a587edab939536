// The brick faces: pictures, per-brick fall arithmetic, drawing, and the faces and credits scene.
#include <GL/gl.h>
#include <math.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "bricks/bricks.h"
#include "effects/effects.h"
#include "gl_context.h"
#include "gl_feedback.h"
#include "shell/clock.h"
#include "shell/entry.h"
#include "shell/scenes.h"
#include "shell/show.h"
#include "synth/synth.h"

namespace {

void set_up_faces(void)
{
    static bool done;
    if (done)
        return;
    lego_init();
    writer_init();
    glEnable(GL_CULL_FACE);  // the show records the faces after the spiral has enabled culling
    naamat_init();
    done = true;
}

// Cells that tell the pictures and their rows apart: cell (r, c) of picture w is
// byte 48 r + 16 w + c.
struct cell_case {
    int picture, row, col;
    bool set;
};
const cell_case cells[] = {
    {0, 0, 3, true},   {0, 0, 4, false},  {0, 9, 0, false},  {0, 9, 6, true},
    {0, 15, 11, true}, {0, 15, 12, false}, {1, 0, 6, true},  {1, 0, 7, false},
    {1, 6, 1, false},  {1, 6, 2, true},   {1, 8, 12, true},  {2, 0, 4, true},
    {2, 0, 5, false},  {2, 15, 10, true}, {2, 15, 11, false}, {2, 9, 8, false},
};

}  // namespace

TEST(FacePictures, CellsByPictureRowAndColumn)
{
    for (const auto &c : cells)
        EXPECT_EQ(naamadata[48 * c.row + 16 * c.picture + c.col], c.set ? 255 : 0)
            << "picture " << c.picture << " row " << c.row << " column " << c.col;
    int clear[3] = {};
    for (int i = 0; i < NAAMAT_BYTES; i++) {
        ASSERT_TRUE(naamadata[i] == 0 || naamadata[i] == 255) << "byte " << i;
        clear[i % 48 / 16] += naamadata[i] == 0;
    }
    EXPECT_EQ(clear[0], 146);
    EXPECT_EQ(clear[1], 102);
    EXPECT_EQ(clear[2], 102);
}

TEST(FaceBricks, FallsFromItsStartAndLandsAfterRootThree)
{
    const float root3 = 1.7320508f;  // the float nearest sqrt(3): still a hair above
    struct {
        double start;
        float t;
        float y;
    } cases[] = {
        {2.0, -5.0f, 30},  // waiting
        {2.0, 2.0f, 30},   // just letting go
        {2.0, 3.0f, 20},   // 30 - 10 * 1^2
        {0.0, 1.5f, 7.5f},
        {2.0, 2.0f + root3 + 0.001f, 0},  // landed
        {7.9875, 9.72f, 0},               // the last possible start has landed by 9.72
        {0.0, 100.0f, 0},
    };
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(naamat_height(c.start, c.t), c.y) << c.start << " " << c.t;

    float hair = naamat_height(0.0, root3);
    EXPECT_GT(hair, 0.0f);
    EXPECT_LT(hair, 1e-5f);
    EXPECT_EQ(naamat_height(0.0, nextafterf(root3, 2)), 0.0f);
}

TEST(FaceBricks, OnlyExactlyZeroPicksTheLandedList)
{
    struct {
        int set;
        float y;
        int list;
    } cases[] = {
        {1, 30, 0}, {1, 1.9e-6f, 0}, {1, 0, 1}, {0, 30, 2}, {0, 1.9e-6f, 2}, {0, 0, 3},
    };
    for (const auto &c : cases)
        EXPECT_EQ(naamat_list(c.set, c.y), c.list) << c.set << " " << c.y;
}

TEST(FaceBricks, LayoutDrawsFourValuesInRange)
{
    srand(2);
    double latest = 0;
    for (int i = 0; i < 256; i++) {
        face_brick b = naamat_layout();
        ASSERT_GE(b.start, 0);
        ASSERT_LE(b.start, 7.9875);
        ASSERT_NEAR(b.start / 0.0125, lround(b.start / 0.0125), 1e-9);
        ASSERT_GE(b.jx, 0);
        ASSERT_LE(b.jx, 2 / 60.0f + 1e-6f);
        ASSERT_GE(b.jz, 0);
        ASSERT_LE(b.jz, 19 / 60.0f + 1e-6f);
        ASSERT_EQ(b.turn, floorf(b.turn));
        ASSERT_GE(b.turn, -10);
        ASSERT_LE(b.turn, 9);
        latest = b.start > latest ? b.start : latest;
    }
    EXPECT_GT(latest, 7.0);  // starts spread over the whole range
    // Four draws a brick and no more.
    srand(2);
    for (int i = 0; i < 4 * 256; i++)
        rand();
    int next = rand();
    srand(2);
    for (int i = 0; i < 256; i++)
        naamat_layout();
    EXPECT_EQ(rand(), next);
}

namespace {

const int W = 512, H = 384;

std::vector<unsigned char> render_face(float t, int which, float angle)
{
    glViewport(0, 0, W, H);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    set_frame_projection();
    naamat(t, which, angle);
    std::vector<unsigned char> rgb(W * H * 3);
    offscreen_read_rgb(W, H, rgb.data());
    return rgb;
}

}  // namespace

// The specular highlight of the light at (10, 10, 2) on a top face at (x, y, -26.4),
// seen by the fixed-function infinite viewer along +z: (N.H)^100.
static float highlight(float x, float y)
{
    float lx = 10 - x, ly = 10 - y, lz = 28.4f;
    float ln = sqrtf(lx * lx + ly * ly + lz * lz);
    float hx = lx / ln, hy = ly / ln, hz = lz / ln + 1;
    return powf(hz / sqrtf(hx * hx + hy * hy + hz * hz), 100);
}

// Once every brick has landed the picture lies on the plate, row 0 at the top and
// column 0 at the left: white bricks bright, black ones dark, centred on their cells.
// Black bricks under the light's highlight shine like white ones and are not judged.
TEST(Faces, LandedPictureShowsOnThePlate)
{
    need_gl_context(W, H);
    set_up_faces();
    // A picture number outside 0..2 has no picture: every brick is a clear cell.
    for (int which : {0, 1, 2, 3, -1}) {
        std::vector<unsigned char> rgb = render_face(20, which, 0);
        int wrong = 0, judged = 0;
        for (int r = 0; r < 16; r++)
            for (int c = 0; c < 16; c++) {
                // The top of a landed brick lies 26.4 units in front of the viewer.
                float x = -18.75f + 2.5f * c + 0.017f, y = 18.75f - 2.5f * r - 0.16f;
                if (highlight(x, y) > 0.2f)
                    continue;
                judged++;
                int px = (int)((x / 26.4f + 1) / 2 * W);
                int py = (int)((1 - y / (0.75f * 26.4f)) / 2 * H);
                const unsigned char *p = &rgb[3 * (py * W + px)];
                bool bright = p[0] + p[1] + p[2] > 3 * 128;
                bool set = which >= 0 && which <= 2 && naamadata[48 * r + 16 * which + c] != 0;
                if (bright != set) {
                    wrong++;
                    ADD_FAILURE() << "picture " << which << " row " << r << " column " << c
                                  << " pixel " << (int)p[0] << "," << (int)p[1] << ","
                                  << (int)p[2];
                }
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(judged, 200);
    }
}

// Everything follows from the arguments: the generator is reseeded, so neither other
// drawing nor other users of rand, nor the clock running backwards, change a frame.
TEST(Faces, SameArgumentsSameFrameWhateverCameBefore)
{
    need_gl_context(W, H);
    set_up_faces();
    std::vector<unsigned char> first = render_face(5.5f, 0, 13);
    render_face(12, 2, 0);
    for (int i = 0; i < 77; i++)
        rand();
    glDisable(GL_LIGHTING);
    EXPECT_TRUE(first == render_face(5.5f, 0, 13)) << "after other drawing";
    render_face(9, 0, 13);  // coming back from a later fall clock
    EXPECT_TRUE(first == render_face(5.5f, 0, 13)) << "with the clock running backwards";
    EXPECT_FALSE(first == render_face(5.5f, 2, 13)) << "another picture and layout";
    EXPECT_FALSE(first == render_face(4.5f, 0, 13)) << "another moment";
}

// Depth in the caller's frame: the plate lies around z = -28; a waiting brick hangs
// 30 units above it, 3 units behind the viewer, and a landed one lies on the plate.
TEST(Faces, BricksHangBehindTheViewerThenLieOnThePlate)
{
    need_gl_context(W, H);
    set_up_faces();
    struct {
        float t;
        int which;
        float angle;
        bool hanging;  // some vertices 3 units behind the viewer
        bool landed;   // every vertex at the plate
    } cases[] = {
        {-1, 0, 0, true, false}, {0, 2, 25, true, false}, {20, 0, 0, false, true},
        {9.72f, 2, 40, false, true}, {5, 0, 0, true, false},
    };
    for (const auto &c : cases) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -100, 100);  // eye z = 100 (1 - 2 depth)
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        fb_polygons polys = feedback_polygons([&] { naamat(c.t, c.which, c.angle); });
        int at_plate = 0, behind = 0, between = 0;
        for (const auto &p : polys)
            for (size_t j = 2; j < p.size(); j += 3) {
                float z = 100 * (1 - 2 * p[j]);
                if (z >= -28.7f && z <= -26.1f)
                    at_plate++;
                else if (z >= 1 && z <= 5)
                    behind++;
                else
                    between++;
            }
        EXPECT_GT(at_plate, 0) << "t " << c.t;
        EXPECT_EQ(behind > 0, c.hanging) << "t " << c.t;
        EXPECT_EQ(between == 0 && behind == 0, c.landed) << "t " << c.t;
    }
}

TEST(Faces, LeavesLightZeroInTheCallersFrame)
{
    need_gl_context(W, H);
    set_up_faces();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHT2);
    glDisable(GL_DEPTH_TEST);
    naamat(3, 0, 10);
    GLfloat pos[4], ambient[4], m[16];
    glGetLightfv(GL_LIGHT0, GL_POSITION, pos);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(pos[0], 10.0f);
    EXPECT_EQ(pos[1], 10.0f);
    EXPECT_EQ(pos[2], 2.0f);
    EXPECT_EQ(pos[3], 1.0f);
    EXPECT_EQ(ambient[0], 0.0f);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << "modelview restored";
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
}

namespace {

// One frame of the faces scene with t2 = (ticks - 1000) / 1000.
struct faces_frame {
    unsigned ticks;
    int beat;
    const char *fall;  // how the face's fall clock follows from t2 and the marks
    int picture;
    const char *word;
    float x, y;        // the word's place when no note pulses
    float turn, turn2;  // the marks after the frame
};

// Through the four sub-ranges, with the first and last frames of each.
const faces_frame walk[] = {
    {1500, 32, "1.8 t2", 0, "codegfx", -7, 15, 0.5f, 0},
    {8000, 35, "1.8 t2", 0, "codegfx", -7, 15, 7.0f, 0},
    {8020, 36, "1.8 (turn - t2) + 12", 0, "dorv", 20, -15, 7.0f, 7.02f},
    {15000, 39, "1.8 (turn - t2) + 12", 0, "dorv", 20, -15, 7.0f, 14.0f},
    {15030, 40, "1.8 (t2 - turn2)", 2, "music", -17, 15, 14.03f, 14.0f},
    {22000, 43, "1.8 (t2 - turn2)", 2, "music", -17, 15, 21.0f, 14.0f},
    {22016, 44, "1.8 (turn - t2) + 12", 2, "wub", 27, -15, 21.0f, 14.0f},
    {29000, 47, "1.8 (turn - t2) + 12", 2, "wub", 27, -15, 21.0f, 14.0f},
};

float expected_fall(const char *rule, float t2, float turn, float turn2)
{
    std::string r = rule;
    if (r == "1.8 t2")
        return (float)(1.8 * t2);
    if (r == "1.8 (turn - t2) + 12")
        return (float)(1.8 * (turn - t2) + 12);
    return (float)(1.8 * (t2 - turn2));
}

fb_polygons word_at(const char *word, float x, float y)
{
    return feedback_polygons([&] {
        glPushMatrix();
        glTranslatef(x, y, -44);
        write_string(word, 0, 4, 1);
        glPopMatrix();
    });
}

void start_faces_scene(void)
{
    tl.tid2 = 1000;  // as the tunnel scene left it
    tl.turn = tl.turn2 = 0;
    for (auto &r : lastrig)
        r.store(10000000);
}

fb_polygons faces_scene_frame(unsigned ticks, int b)
{
    show_ticks_set_virtual(ticks);
    beat.store(b);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    set_frame_projection();
    return feedback_polygons([] { run_fx(); });
}

}  // namespace

// Each frame is the face at its fall clock and then its word; the marks carry the
// last frame of one sub-range into the next, so the face starts at 12 or at 0 again.
TEST(FacesScene, FallClockAndMarksAcrossTheSubRanges)
{
    need_gl_context(W, H);
    set_up_faces();
    start_faces_scene();
    float turn = 0, turn2 = 0;  // the marks before each frame
    for (const auto &f : walk) {
        fb_polygons frame = faces_scene_frame(f.ticks, f.beat);
        ASSERT_EQ(run_fx_log().count, 1);
        ASSERT_EQ(run_fx_log().scene[0], SCENE_FACES);
        float t2 = tl.t2;
        ASSERT_FLOAT_EQ(t2, (f.ticks - 1000) * 0.001f);
        EXPECT_FLOAT_EQ(tl.turn, f.turn) << "beat " << f.beat;
        EXPECT_FLOAT_EQ(tl.turn2, f.turn2) << "beat " << f.beat;

        float fall = expected_fall(f.fall, t2, turn, turn2);
        float angle = (float)(20 - 20 * sin(t2 * 0.16666667f));
        set_frame_projection();
        fb_polygons face = feedback_polygons([&] {
            glPushMatrix();
            naamat(fall, f.picture, angle);
            glPopMatrix();
        });
        fb_polygons word = word_at(f.word, f.x, f.y);
        ASSERT_EQ(frame.size(), face.size() + word.size()) << "beat " << f.beat;
        EXPECT_TRUE(polygons_match(frame, 0, face, 0, face.size(), 0.001f))
            << "beat " << f.beat << " fall clock " << fall;
        EXPECT_TRUE(polygons_match(frame, face.size(), word, 0, word.size(), 0.001f))
            << "beat " << f.beat << " " << f.word;
        turn = tl.turn;
        turn2 = tl.turn2;
    }
    // The first frame of beat 36 takes the face apart from just under 12.
    EXPECT_NEAR(expected_fall(walk[2].fall, 7.02f, 7.0f, 0), 12 - 1.8 * 0.02, 1e-5);
}

// A note on the sub-range's track jerks its word sideways by up to 7 units, top words
// to the right and bottom words to the left; the other track leaves it alone.
TEST(FacesScene, WordsJumpWithTheirTrack)
{
    need_gl_context(W, H);
    set_up_faces();
    start_faces_scene();
    struct {
        int beat, track;
        bool moves;
        const char *word;
        float x, push, y;
    } cases[] = {
        {33, 3, true, "codegfx", -7, 7, 15},  {33, 4, false, "codegfx", -7, 7, 15},
        {37, 3, true, "dorv", 20, -7, -15},   {41, 4, true, "music", -17, 7, 15},
        {41, 3, false, "music", -17, 7, 15},  {45, 4, true, "wub", 27, -7, -15},
    };
    unsigned ticks = 2000;
    for (const auto &c : cases) {
        lastrig[3].store(5);
        lastrig[4].store(5);
        faces_scene_frame(ticks, c.beat);
        lastrig[c.track].store(0);      // a note: the count of rows since it went down
        faces_scene_frame(ticks, c.beat);  // sees the note; the pulse starts at 0
        fb_polygons frame = faces_scene_frame(ticks + 40, c.beat);
        float p = c.moves ? sinf(sqrtf(0.04f * 60)) : 0;
        fb_polygons word = word_at(c.word, c.x + c.push * p, c.y);
        ASSERT_GE(frame.size(), word.size());
        EXPECT_TRUE(polygons_match(frame, frame.size() - word.size(), word, 0, word.size(), 0.5f))
            << "beat " << c.beat << " track " << c.track;
        ticks += 1000;
    }
}
