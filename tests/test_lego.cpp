// The studded brick, checked through what OpenGL receives: polygons, winding, culling, state.
#include <GL/gl.h>
#include <math.h>

#include <map>
#include <string>

#include "bricks/bricks.h"
#include "test_lego_feedback.h"

namespace {

const float e = 0.12f;  // wall thickness of the underside

bool near(float a, float b)
{
    return fabsf(a - b) < 2e-3f;
}

float min_y(const polygon &p)
{
    float m = p.v[0].y;
    for (const vec3 &v : p.v)
        m = fminf(m, v.y);
    return m;
}

float max_y(const polygon &p)
{
    float m = p.v[0].y;
    for (const vec3 &v : p.v)
        m = fmaxf(m, v.y);
    return m;
}

// Names the part of an uncentred brick a polygon belongs to, from its heights.
std::string kind_of(const polygon &p)
{
    float lo = min_y(p), hi = max_y(p);
    if (near(lo, 1.45f) && near(hi, 1.45f))
        return "cap";
    if (near(lo, 1.2f) && near(hi, 1.45f))
        return "stud";
    if (near(lo, 1.2f) && near(hi, 1.2f))
        return "top";
    if (near(lo, 0) && near(hi, 1.2f))
        return "side";
    if (near(lo, 0) && near(hi, 0))
        return "rim";
    if (near(lo, 1.08f) && near(hi, 1.08f))
        return "ceiling";
    if (near(lo, 0) && near(hi, 1.08f))
        return "hollow";
    if (near(lo, 0.12f) && near(hi, 1.08f))
        return "tube";
    return "unknown";
}

float dot_xz(const vec3 &n, float dx, float dz)
{
    return n.x * dx + n.z * dz;
}

// Whether a polygon faces the way its part must: out of the brick, down from the
// rim, into the hollow, away from its cylinder's axis.
bool faces_outwards(const polygon &p, const std::string &kind, int w, int d)
{
    const vec3 &n = p.normal, &c = p.centroid;
    if (kind == "cap" || kind == "top")
        return n.y > 0.99f;
    if (kind == "rim" || kind == "ceiling")
        return n.y < -0.99f;
    if (kind == "side")
        return dot_xz(n, c.x - w / 2.0f, c.z + d / 2.0f) > 0 && fabsf(n.y) < 1e-3f;
    if (kind == "hollow")
        return dot_xz(n, w / 2.0f - c.x, -d / 2.0f - c.z) > 0 && fabsf(n.y) < 1e-3f;
    if (kind == "stud") {
        float ax = floorf(c.x) + 0.5f, az = -floorf(-c.z) + 0.5f - 1;  // stud axes at half units
        return dot_xz(n, c.x - ax, c.z - az) > 0;
    }
    if (kind == "tube")
        return dot_xz(n, c.x - roundf(c.x), c.z - roundf(c.z)) > 0;
    return false;
}

struct brick_case {
    int w, d, top, bottom;
    int studs, caps, sides, tops, rims, hollows, tubes;  // expected polygon counts
};

const brick_case bricks[] = {
    // w  d  top bot  stud-wall quads, cap triangles, then quads: sides top rim hollow tube
    {2, 2, 8, 8, 32, 32, 4, 1, 4, 5, 8},     // one tube under the centre
    {4, 2, 6, 3, 48, 48, 4, 1, 4, 5, 9},     // three tubes
    {1, 2, 6, 4, 12, 12, 4, 1, 4, 5, 0},     // one stud wide: no tubes
    {2, 1, 5, 4, 10, 10, 4, 1, 4, 5, 0},
    {3, 2, 0, 3, 0, 0, 4, 0, 4, 5, 6},       // top covered: no studs, no top face
    {2, 2, 4, 0, 16, 16, 4, 1, 0, 0, 0},     // no underside
    {2, 2, 0, 0, 0, 0, 4, 0, 0, 0, 0},       // only the four sides
};

}  // namespace

TEST(Lego, PartsCountsWindingAndCulling)
{
    for (const brick_case &b : bricks) {
        SCOPED_TRACE(testing::Message() << b.w << "x" << b.d << " top " << b.top << " bottom "
                                        << b.bottom);
        auto polys = capture_polygons([&] { lego(b.w, b.d, 0, b.top, b.bottom, 1, 0, 0); });
        std::map<std::string, int> count;
        for (const polygon &p : polys) {
            std::string kind = kind_of(p);
            count[kind]++;
            EXPECT_TRUE(faces_outwards(p, kind, b.w, b.d))
                << kind << " at " << p.centroid.x << "," << p.centroid.y << "," << p.centroid.z;
            // Only the single-walled tubes are drawn with culling off.
            EXPECT_EQ(p.culled, kind != "tube") << kind;
        }
        // Feedback splits every quad into two triangles.
        EXPECT_EQ(count["stud"], 2 * b.studs);
        EXPECT_EQ(count["cap"], b.caps);
        EXPECT_EQ(count["side"], 2 * b.sides);
        EXPECT_EQ(count["top"], 2 * b.tops);
        EXPECT_EQ(count["rim"], 2 * b.rims);
        EXPECT_EQ(count["ceiling"] + count["hollow"], 2 * b.hollows);
        EXPECT_EQ(count["tube"], 2 * b.tubes);
        EXPECT_EQ(count["unknown"], 0);
    }
}

TEST(Lego, StudRingStartsAtFortyFiveDegrees)
{
    for (int n : {4, 5, 8}) {
        SCOPED_TRACE(testing::Message() << n << " segments");
        auto polys = capture_polygons([&] { lego(1, 1, 0, n, 0, 1, 1, 1); });
        int k = 0;
        for (const polygon &p : polys) {
            if (kind_of(p) != "cap")
                continue;
            // Cap triangle k joins the axis to the rim points at a(k) and a(k+1), in order.
            ASSERT_EQ(p.v.size(), 3u);
            std::vector<double> angles;
            for (const vec3 &v : p.v) {
                double r = hypot(v.x - 0.5, v.z + 0.5);
                if (r < 1e-3)
                    continue;
                EXPECT_NEAR(r, 0.3, 1e-3);
                angles.push_back(fmod(atan2(v.x - 0.5, v.z + 0.5) * 180 / M_PI + 360, 360));
            }
            ASSERT_EQ(angles.size(), 2u);
            double a0 = fmod(45 + 360.0 * k / n, 360), a1 = fmod(45 + 360.0 * (k + 1) / n, 360);
            auto at = [](double a, double b) { return fabs(remainder(a - b, 360)) < 0.05; };
            EXPECT_TRUE((at(angles[0], a0) && at(angles[1], a1)) ||
                        (at(angles[0], a1) && at(angles[1], a0)))
                << "triangle " << k << ": " << angles[0] << " " << angles[1];
            k++;
        }
        EXPECT_EQ(k, n);
    }
}

TEST(Lego, CentringAndTubePosition)
{
    // Centred 2 x 2: body x -1..1, y -0.6..0.6, z -1..1, stud tops at 0.85.
    auto polys = capture_polygons([] { lego(2, 2, 1, 8, 8, 1, 1, 0); });
    vec3 lo = {1e9, 1e9, 1e9}, hi = {-1e9, -1e9, -1e9};
    for (const polygon &p : polys)
        for (const vec3 &v : p.v) {
            lo = {fminf(lo.x, v.x), fminf(lo.y, v.y), fminf(lo.z, v.z)};
            hi = {fmaxf(hi.x, v.x), fmaxf(hi.y, v.y), fmaxf(hi.z, v.z)};
        }
    EXPECT_NEAR(lo.x, -1, 2e-3);
    EXPECT_NEAR(hi.x, 1, 2e-3);
    EXPECT_NEAR(lo.y, -0.6, 2e-3);
    EXPECT_NEAR(hi.y, 0.85, 2e-3);
    EXPECT_NEAR(lo.z, -1, 2e-3);
    EXPECT_NEAR(hi.z, 1, 2e-3);

    // Uncentred: the one tube's axis is at (1, -1), radius 0.35.
    polys = capture_polygons([] { lego(2, 2, 0, 8, 8, 1, 1, 0); });
    int tube_points = 0;
    for (const polygon &p : polys) {
        if (kind_of(p) != "tube")
            continue;
        for (const vec3 &v : p.v) {
            EXPECT_NEAR(hypot(v.x - 1, v.z + 1), 0.35, 1e-3);
            tube_points++;
        }
    }
    EXPECT_GT(tube_points, 0);
}

struct culling_case {
    bool on_entry;
    int bottom;
    bool recorded;  // drawn from a display list recorded in the entry state
    bool after;
};

TEST(Lego, CullingAfterwardsMaterialAndMatrix)
{
    const culling_case cases[] = {
        {false, 0, false, true},   // enabled for the body, never disabled again
        {false, 3, false, false},  // disabled for the tubes, not re-enabled
        {true, 0, false, true},
        {true, 3, false, true},    // re-enabled because it was on
        // The query is answered while recording: a list recorded with culling off
        // leaves it off after its tubes however it is replayed.
        {false, 3, true, false},
        {true, 3, true, true},
    };
    need_gl_context(256, 192);
    for (const culling_case &c : cases) {
        SCOPED_TRACE(testing::Message() << "on entry " << c.on_entry << " bottom " << c.bottom
                                        << " recorded " << c.recorded);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        GLfloat before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        if (c.on_entry)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        if (c.recorded) {
            GLuint list = glGenLists(1);
            glNewList(list, GL_COMPILE);
            lego(1, 2, 1, 4, c.bottom, 0.5f, 0.25f, 0.125f);
            glEndList();
            glEnable(GL_CULL_FACE);  // whatever holds at replay does not matter
            glCallList(list);
        } else {
            lego(1, 2, 1, 4, c.bottom, 0.5f, 0.25f, 0.125f);
        }
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), c.after ? GL_TRUE : GL_FALSE);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(before[i], after[i]);
    }

    const struct {
        GLenum face, what;
        GLfloat want[4];
    } material[] = {
        {GL_FRONT, GL_DIFFUSE, {0.5f, 0.25f, 0.125f, 1}},
        {GL_BACK, GL_DIFFUSE, {0.5f, 0.25f, 0.125f, 1}},
        {GL_FRONT, GL_SPECULAR, {1, 1, 1, 1}},
        {GL_BACK, GL_AMBIENT, {0.1f, 0.1f, 0.1f, 1}},
        {GL_FRONT, GL_SHININESS, {100, 0, 0, 0}},
    };
    for (const auto &m : material) {
        GLfloat got[4] = {0, 0, 0, 0};
        glGetMaterialfv(m.face, m.what, got);
        int n = m.what == GL_SHININESS ? 1 : 4;
        for (int i = 0; i < n; i++)
            EXPECT_FLOAT_EQ(got[i], m.want[i]) << "material 0x" << std::hex << m.what;
    }
}

TEST(Lego, InitTurnsOnTwoSidedLighting)
{
    need_gl_context(256, 192);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    lego_init();
    GLint two_sided = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_sided);
    EXPECT_EQ(two_sided, 1);
}
