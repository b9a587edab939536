// Scene records: object roles from names, the pivot point and axis of a marker, linking parts to pivots.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <vector>

#include "model_fixture.h"
#include "models/scene.h"

namespace {

// Appends a face over the given vertex indices (normal indices 0).
void add_face(group *g, std::vector<int> vi)
{
    face *f = (face *)calloc(1, sizeof *f);
    f->n = (int)vi.size();
    f->vi = (int *)malloc(sizeof(int) * vi.size());
    f->ni = (int *)calloc(vi.size(), sizeof(int));
    for (size_t k = 0; k < vi.size(); k++)
        f->vi[k] = vi[k];
    f->next = g->faces;
    g->faces = f;
}

void set_verts(scene *s, std::vector<float> v)
{
    s->nverts = (int)v.size() / 3;
    s->verts = (float *)malloc(sizeof(float) * v.size());
    for (size_t i = 0; i < v.size(); i++)
        s->verts[i] = v[i];
}

struct pivot_case {
    const char *what;
    float tri[9];          // the marker's first triangle, corners in face order
    float expect[3];       // the chosen pivot point
};

}  // namespace

TEST(ModelScene, PivotPointIsTheCornerOppositeTheShortestEdge)
{
    const pivot_case cases[] = {
        {"short edge c1-c2 gives corner 0", {0, 0, 0, 5, 0, 0, 5, 1, 0}, {0, 0, 0}},
        {"short edge c2-c0 gives corner 1", {0, 0, 0, 5, 0, 0, 0, 1, 0}, {5, 0, 0}},
        {"short edge c0-c1 gives corner 2", {0, 0, 0, 0, 1, 0, 5, 0, 0}, {5, 0, 0}},
        {"equilateral gives corner 0", {1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 0, 0}},
        {"two shortest edges tied give corner 0", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 0}},
        {"tie of c0-c1 and c1-c2 gives corner 0", {3, 0, 0, 3, 1, 0, 4, 1, 0}, {3, 0, 0}},
    };
    for (const auto &c : cases) {
        scene s = {};
        std::vector<float> v(c.tri, c.tri + 9);
        // a square base around (10, 10, 10) and a later triangle that must not count
        for (float q : {9.f, 10.f, 10.f, 11.f, 10.f, 10.f, 11.f, 11.f, 10.f, 9.f, 11.f, 10.f})
            v.push_back(q);
        for (float q : {7.f, 7.f, 7.f, 8.f, 8.f, 8.f, 7.f, 9.f, 7.f})
            v.push_back(q);
        set_verts(&s, v);
        object *p = new_object(&s, "pivot_x");
        group *g = new_group(p, "marker");
        add_face(g, {7, 8, 9});  // read last: list order puts it behind the first triangle
        add_face(g, {3, 4, 5, 6});
        add_face(g, {0, 1, 2});
        pivot_vectors(&s, p);
        for (int k = 0; k < 3; k++) {
            EXPECT_FLOAT_EQ(p->origin[k], c.expect[k]) << c.what;
            float centre = k == 1 ? 10.5f : 10.0f;
            EXPECT_FLOAT_EQ(p->axis[k], centre - c.expect[k]) << c.what;
        }
        delete_scene(&s);
    }
}

TEST(ModelScene, PivotWithoutTriangleHasOriginZeroAndAxisToTheBaseCentre)
{
    scene s = {};
    set_verts(&s, {1, 2, 3, 3, 2, 3, 3, 4, 3, 1, 4, 3, 100, 100, 100, 100, 101, 100, 101, 101, 100,
                   101, 100, 100});
    object *p = new_object(&s, "pivot_x");
    group *g = new_group(p, "marker");
    add_face(g, {4, 5, 6, 7});  // a second base polygon, behind the first: ignored
    add_face(g, {0, 1, 2, 3});
    pivot_vectors(&s, p);
    EXPECT_EQ(p->origin[0], 0);
    EXPECT_EQ(p->origin[1], 0);
    EXPECT_EQ(p->origin[2], 0);
    EXPECT_FLOAT_EQ(p->axis[0], 2);
    EXPECT_FLOAT_EQ(p->axis[1], 3);
    EXPECT_FLOAT_EQ(p->axis[2], 3);
    delete_scene(&s);
}

TEST(ModelScene, TypeComesFromTheFirstBytesOfTheName)
{
    const struct {
        const char *name;
        int type;
    } cases[] = {
        {"pivot_arm", OBJECT_PIVOT}, {"pivot_", OBJECT_PIVOT}, {"pivot", OBJECT_PART},
        {"pivotarm", OBJECT_PART},   {"point", OBJECT_LIGHT},  {"pointless", OBJECT_LIGHT},
        {"Point1", OBJECT_PART},     {"arm", OBJECT_PART},     {"poin", OBJECT_PART},
    };
    for (const auto &c : cases) {
        scene s = {};
        object *o = new_object(&s, c.name);
        EXPECT_EQ(o->type, c.type) << c.name;
        EXPECT_EQ(s.has_lights, c.type == OBJECT_LIGHT) << c.name;
        EXPECT_EQ(o->pivot, nullptr);
        EXPECT_EQ(o->angle, 0);
        delete_scene(&s);
    }
}

TEST(ModelScene, PartsHangOnTheFirstPivotWhoseNameHoldsThem)
{
    scene s = {};
    // created in this order, so the list runs the other way
    const char *names[] = {"arm", "lfoot", "rfoot", "point1", "pivot_lfoot_rfoot", "pivot_arm2",
                           "pivot_arm", "pivot_point1", "pivot_x", "pivot_pivot_x", "leg", "pivot"};
    for (const char *n : names)
        new_object(&s, n);
    link_pivots(&s);
    auto hung = [&](const char *name) -> std::string {
        for (object *o = s.objects; o; o = o->next)
            if (std::string(o->name) == name)
                return o->pivot ? o->pivot->name : "";
        return "?";
    };
    EXPECT_EQ(hung("arm"), "pivot_arm");  // "pivot_arm" comes before "pivot_arm2" in list order
    EXPECT_EQ(hung("lfoot"), "pivot_lfoot_rfoot");
    EXPECT_EQ(hung("rfoot"), "pivot_lfoot_rfoot");
    EXPECT_EQ(hung("point1"), "pivot_point1");  // lights hang like parts
    EXPECT_EQ(hung("pivot_x"), "");             // pivots never hang
    EXPECT_EQ(hung("leg"), "");
    EXPECT_EQ(hung("pivot"), "pivot_pivot_x");  // a part, and "_pivot" is in that name
    delete_scene(&s);
}

TEST(ModelScene, DeleteSceneIgnoresNull)
{
    delete_scene(nullptr);
}
