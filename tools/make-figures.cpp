// Writes the walker and the serf figure models as OBJ/MTL text (data/walker.*, data/serf.*).
//
// The figures are built from simple convex solids (boxes, frustums, spheres,
// rings), each face wound counter-clockwise seen from outside, with unit
// normals. Pivot markers are square pyramids whose apex is the hinge point and
// whose base centre lies along the hinge axis; their corners are placed on the
// dump's fixed-point grid so that the hinges come out of a dump unchanged.
//
// Usage: make-figures DATA_DIR
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

struct vec {
    double x, y, z;
};
vec operator+(vec a, vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec operator-(vec a, vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec operator*(vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(vec a, vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec cross(vec a, vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double len(vec a) { return sqrt(dot(a, a)); }
vec unit(vec a) { return a * (1 / len(a)); }

struct corner {
    vec p, n;
};
struct poly {
    std::vector<corner> c;
};
struct group_src {
    std::string material;
    std::vector<poly> faces;
};
struct object_src {
    std::string name;
    std::vector<group_src> groups;
    bool snap = false;  // a pivot marker: corners go onto the dump grid
};
struct material_src {
    std::string name;
    double ka[3], kd[3];
};

std::vector<object_src> objects;
group_src *cur;

void begin_object(const char *name, bool snap = false)
{
    objects.push_back({name, {}, snap});
}

void use(const char *material)
{
    objects.back().groups.push_back({material, {}});
    cur = &objects.back().groups.back();
}

vec newell(const std::vector<vec> &p)
{
    vec n = {0, 0, 0};
    for (size_t i = 0; i < p.size(); i++) {
        vec a = p[i], b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

// Adds a polygon, turned so that it faces away from `inside` (the centre of
// the convex solid it belongs to). Normals: given per corner, or flat.
void add(std::vector<vec> p, vec inside, std::vector<vec> normals = {})
{
    vec centre = {0, 0, 0};
    for (vec v : p)
        centre = centre + v * (1.0 / p.size());
    if (dot(newell(p), centre - inside) < 0) {
        std::reverse(p.begin() + 1, p.end());  // the first corner stays first
        if (!normals.empty())
            std::reverse(normals.begin() + 1, normals.end());
    }
    vec flat = unit(newell(p));
    poly f;
    for (size_t i = 0; i < p.size(); i++)
        f.c.push_back({p[i], normals.empty() ? flat : unit(normals[i])});
    cur->faces.push_back(f);
}

void box(vec lo, vec hi)
{
    vec c = (lo + hi) * 0.5;
    vec v[8];
    for (int i = 0; i < 8; i++)
        v[i] = {i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
    static const int q[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (auto &f : q)
        add({v[f[0]], v[f[1]], v[f[2]], v[f[3]]}, c);
}

// Two unit vectors across the axis d.
void across(vec d, vec *u, vec *w)
{
    vec helper = fabs(d.y) < 0.9 ? vec{0, 1, 0} : vec{1, 0, 0};
    *u = unit(cross(d, helper));
    *w = unit(cross(d, *u));
}

// A frustum from a (radius ra) to b (radius rb), smooth sides, flat caps when asked.
void frustum(vec a, vec b, double ra, double rb, int seg, bool cap_a, bool cap_b)
{
    vec d = unit(b - a), u, w;
    across(d, &u, &w);
    double h = len(b - a);
    vec mid = (a + b) * 0.5;
    std::vector<vec> ring_a, ring_b, radial;
    for (int i = 0; i < seg; i++) {
        double t = 2 * M_PI * i / seg;
        vec r = u * cos(t) + w * sin(t);
        ring_a.push_back(a + r * ra);
        ring_b.push_back(b + r * rb);
        radial.push_back(unit(r * h + d * (ra - rb)));
    }
    for (int i = 0; i < seg; i++) {
        int j = (i + 1) % seg;
        add({ring_a[i], ring_a[j], ring_b[j], ring_b[i]}, mid, {radial[i], radial[j], radial[j], radial[i]});
    }
    if (cap_a && ra > 0)
        add(ring_a, mid);
    if (cap_b && rb > 0)
        add(ring_b, mid);
}

void sphere(vec c, vec radii, int rings, int seg)
{
    auto at = [&](int r, int s, vec *n) {
        double th = M_PI * r / rings, ph = 2 * M_PI * s / seg;
        vec dir = {sin(th) * cos(ph), cos(th), sin(th) * sin(ph)};
        *n = unit({dir.x / radii.x, dir.y / radii.y, dir.z / radii.z});
        return c + vec{dir.x * radii.x, dir.y * radii.y, dir.z * radii.z};
    };
    for (int r = 0; r < rings; r++)
        for (int s = 0; s < seg; s++) {
            vec n[4];
            vec p0 = at(r, s, &n[0]), p1 = at(r, s + 1, &n[1]);
            vec p2 = at(r + 1, s + 1, &n[2]), p3 = at(r + 1, s, &n[3]);
            if (r == 0)
                add({p0, p2, p3}, c, {n[0], n[2], n[3]});
            else if (r == rings - 1)
                add({p0, p1, p3}, c, {n[0], n[1], n[3]});
            else
                add({p0, p1, p2, p3}, c, {n[0], n[1], n[2], n[3]});
        }
}

// A ring (torus) around axis d through c.
void ring(vec c, vec d, double big, double small, int seg, int sides)
{
    vec u, w;
    across(unit(d), &u, &w);
    d = unit(d);
    auto at = [&](int i, int k, vec *n) {
        double a = 2 * M_PI * i / seg, b = 2 * M_PI * k / sides;
        vec r = u * cos(a) + w * sin(a);
        *n = r * cos(b) + d * sin(b);
        return c + r * big + *n * small;
    };
    for (int i = 0; i < seg; i++)
        for (int k = 0; k < sides; k++) {
            vec n[4];
            vec p[4] = {at(i, k, &n[0]), at(i + 1, k, &n[1]), at(i + 1, k + 1, &n[2]), at(i, k + 1, &n[3])};
            vec tube = c + (u * cos(2 * M_PI * (i + 0.5) / seg) + w * sin(2 * M_PI * (i + 0.5) / seg)) * big;
            add({p[0], p[1], p[2], p[3]}, tube, {n[0], n[1], n[2], n[3]});
        }
}

// A flat detail lying on a vertical cylinder of radius r about the y axis,
// lifted off it by `lift`, outline given as (x, y) points in order.
void decal(const std::vector<std::pair<double, double>> &xy, double r, double lift)
{
    std::vector<vec> p, n;
    vec centre = {0, 0, 0};
    for (auto &q : xy) {
        double z = sqrt(r * r - q.first * q.first);
        vec radial = unit({q.first, 0, z});
        p.push_back(vec{q.first, q.second, z} + radial * lift);
        n.push_back(radial);
        centre = centre + vec{0, q.second, 0} * (1.0 / xy.size());
    }
    add(p, centre, n);
}

// ---- the walker: a toy-brick figure about 10 units tall, facing +z ----

struct hinge {
    const char *name;
    vec apex, axis;
    double r;  // half-diagonal of the base
};

// Marker corners are snapped later; here they are placed exactly.
void marker(const hinge &h)
{
    begin_object(h.name, true);
    use("default");
    vec d = unit(h.axis), u, w;
    if (fabs(d.y) > 0.9) {
        u = {1, 0, 0};
        w = {0, 0, 1};
    } else {
        u = unit(cross({0, 0, 1}, d));
        w = {0, 0, 1};
    }
    vec c = h.apex + h.axis;
    vec b[4] = {c - u * h.r, c + w * h.r, c + u * h.r, c - w * h.r};
    add({b[0], b[1], b[2], b[3]}, h.apex + h.axis * 0.5);
    for (int i = 0; i < 4; i++) {
        std::vector<vec> tri = {h.apex, b[i], b[(i + 1) % 4]};
        // the apex stays corner 0, whichever way the triangle turns
        vec centre = (tri[0] + tri[1] + tri[2]) * (1.0 / 3);
        if (dot(newell(tri), centre - (h.apex + h.axis * 0.5)) < 0)
            std::swap(tri[1], tri[2]);
        vec n = unit(newell(tri));
        cur->faces.push_back({{{tri[0], n}, {tri[1], n}, {tri[2], n}}});
    }
}

void light_cube(const char *name, vec c)
{
    begin_object(name);
    use("default2");
    double e = 0.252 / 2;
    box(c - vec{e, e, e}, c + vec{e, e, e});
}

void walker_head()
{
    begin_object("head");
    use("blk");
    const double r = 1.0, lift = 0.012;
    for (int side = -1; side <= 1; side += 2) {  // eyes
        std::vector<std::pair<double, double>> eye;
        for (int i = 0; i < 8; i++)
            eye.push_back({side * 0.36 + 0.11 * cos(2 * M_PI * i / 8), 4.55 + 0.15 * sin(2 * M_PI * i / 8)});
        decal(eye, r, lift);
        decal({{side * 0.52, 4.88}, {side * 0.18, 4.93}, {side * 0.18, 4.99}, {side * 0.52, 4.96}}, r, lift);
    }
    const int steps = 10;  // the smile: a curved band of quads
    for (int i = 0; i < steps; i++) {
        double a0 = -1.25 + 2.5 * i / steps, a1 = -1.25 + 2.5 * (i + 1) / steps;
        auto pt = [](double a, double rr) { return std::make_pair(rr * sin(a), 4.35 - rr * cos(a)); };
        decal({pt(a0, 0.52), pt(a1, 0.52), pt(a1, 0.40), pt(a0, 0.40)}, r, lift);
    }
    use("yellow");
    frustum({0, 2.6, 0}, {0, 3.1, 0}, 0.55, 0.55, 16, true, false);     // neck
    frustum({0, 3.05, 0}, {0, 3.3, 0}, 0.82, r, 24, true, false);       // chin bevel
    frustum({0, 3.3, 0}, {0, 5.2, 0}, r, r, 24, false, false);
    frustum({0, 5.2, 0}, {0, 5.45, 0}, r, 0.82, 24, false, true);       // crown bevel
    frustum({0, 5.4, 0}, {0, 6.15, 0}, 0.52, 0.52, 16, false, true);    // stud
}

void walker_arm(const char *name, double side)
{
    begin_object(name);
    vec shoulder = {side * 1.72, 2.25, 0};
    vec elbow = {side * 2.15, 0.55, -0.05};
    vec wrist = {side * 2.3, 0.0, 0.85};
    use("yellow");
    vec fore = unit(wrist - elbow);
    vec hand_c = wrist + fore * 0.55;
    frustum(wrist, wrist + fore * 0.3, 0.22, 0.22, 12, true, true);
    ring(hand_c, cross(fore, {1, 0, 0}), 0.3, 0.13, 12, 6);
    use("red");
    sphere(shoulder, {0.5, 0.5, 0.5}, 6, 10);
    frustum(shoulder, elbow, 0.47, 0.4, 12, false, false);
    sphere(elbow, {0.4, 0.4, 0.4}, 4, 12);
    frustum(elbow, wrist, 0.4, 0.34, 12, false, true);
}

void walker_leg(const char *name, double side)
{
    begin_object(name);
    use("blu");
    double x0 = side * 0.06, x1 = side * 1.5;
    double lo = x0 < x1 ? x0 : x1, hi = x0 < x1 ? x1 : x0;
    frustum({lo, -1.27, 0}, {hi, -1.27, 0}, 0.62, 0.62, 16, true, true);  // hip roll
    box({lo, -3.45, -0.62}, {hi, -1.27, 0.62});
    box({lo, -3.99, -0.62}, {hi, -3.45, 1.05});                             // foot
}

void write_walker_objects()
{
    const hinge hinges[] = {
        {"pivot_head", {-0.0039, 4.5539, 0}, {-0.0001, 2.0, 0}, 0.4299},
        {"pivot_rfoot", {-0.1877, -1.2689, 0}, {-2.0, -0.0011, 0}, 0.43},
        {"pivot_lfoot", {0.1858, -1.2689, 0}, {2.0001, -0.0011, 0}, 0.43},
        {"pivot_rarm", {-1.6721, 2.3751, 0}, {-1.9645, 0.3759, 0}, 0.43},
        {"pivot_larm", {1.6824, 2.3751, 0}, {1.9643, 0.3759, 0}, 0.43},
    };
    for (const hinge &h : hinges)
        marker(h);
    light_cube("point2", {2.7, -3.4, -6.7});
    light_cube("point1", {0, 7.985, 5.8});
    walker_leg("rfoot", -1);
    walker_leg("lfoot", 1);
    walker_arm("larm", 1);
    walker_arm("rarm", -1);

    begin_object("body");
    use("red");
    // the torso: a trapezoid, narrower at the shoulders
    vec t[8] = {{-1.55, -0.75, -0.72}, {1.55, -0.75, -0.72}, {1.05, 2.7, -0.72}, {-1.05, 2.7, -0.72},
                {-1.55, -0.75, 0.72},  {1.55, -0.75, 0.72},  {1.05, 2.7, 0.72},  {-1.05, 2.7, 0.72}};
    vec c = {0, 1, 0};
    add({t[0], t[1], t[2], t[3]}, c);
    add({t[4], t[5], t[6], t[7]}, c);
    add({t[0], t[1], t[5], t[4]}, c);
    add({t[3], t[2], t[6], t[7]}, c);
    add({t[0], t[3], t[7], t[4]}, c);
    add({t[1], t[2], t[6], t[5]}, c);

    begin_object("waist");
    use("blu");
    box({-1.55, -1.3, -0.66}, {1.55, -0.75, 0.66});
    box({-0.07, -2.2, -0.4}, {0.07, -1.3, 0.4});  // the notch between the legs

    walker_head();
}

// ---- the serf: a small hooded figure with a sack over his shoulder ----

void write_serf_objects()
{
    begin_object("cylinder3");
    use("blak");
    frustum({0.65, -3.23, -0.3}, {0.65, -1.0, -0.3}, 0.42, 0.45, 12, true, true);
    begin_object("cylinder2");
    use("blak");
    frustum({-0.65, -3.23, -0.3}, {-0.65, -1.0, -0.3}, 0.42, 0.45, 12, true, true);

    begin_object("cube1");
    use("blak");
    frustum({0, 0.1, -0.45}, {0, 0.45, -0.45}, 1.4, 1.36, 20, false, false);  // belt
    sphere({-0.42, 3.82, 0.78}, {0.11, 0.13, 0.08}, 4, 8);                      // pupils
    sphere({0.42, 3.82, 0.78}, {0.11, 0.13, 0.08}, 4, 8);
    box({-0.35, 2.95, 0.5}, {0.35, 3.05, 0.66});                                 // mouth
    use("bluu");
    frustum({0, 4.25, -0.4}, {0, 5.2, -0.6}, 1.28, 0.9, 16, false, false);      // hood
    frustum({0, 5.2, -0.6}, {0, 6.97, -1.55}, 0.9, 0.0, 16, false, false);
    frustum({0, 4.05, -0.4}, {0, 4.25, -0.4}, 1.3, 1.28, 16, true, false);
    use("default");
    sphere({-2.0, 3.2, -1.25}, {1.45, 1.25, 1.25}, 8, 12);                     // the sack
    sphere({-0.42, 3.8, 0.55}, {0.26, 0.3, 0.2}, 6, 10);                        // eyes
    sphere({0.42, 3.8, 0.55}, {0.26, 0.3, 0.2}, 6, 10);
    use("redi");
    frustum({0, -1.4, -0.45}, {0, 2.6, -0.45}, 1.5, 1.05, 20, true, true);     // tunic
    frustum({1.1, 2.2, -0.4}, {2.3, 0.3, 0.0}, 0.42, 0.36, 10, false, false);   // sleeves
    sphere({1.1, 2.2, -0.4}, {0.45, 0.45, 0.45}, 6, 10);
    frustum({-1.1, 2.2, -0.4}, {-2.0, 3.7, -0.6}, 0.42, 0.36, 10, false, false);
    sphere({-1.1, 2.2, -0.4}, {0.45, 0.45, 0.45}, 6, 10);
    use("yellowi");
    sphere({0, 3.55, -0.35}, {1.15, 1.2, 1.1}, 8, 14);                          // head
    sphere({0, 3.4, 0.72}, {0.28, 0.3, 0.28}, 6, 8);                            // nose
    sphere({2.45, 0.05, 0.05}, {0.45, 0.45, 0.45}, 6, 10);                      // hands
    sphere({-2.05, 3.95, -0.55}, {0.42, 0.42, 0.42}, 6, 10);
}

// ---- output ----

float as_written(double x)
{
    char text[64];
    snprintf(text, sizeof text, "%.6f", x);
    return strtof(text, nullptr);
}

// The scale the dump writer will choose for these coordinates.
long dump_scale()
{
    double m = 0;
    for (auto &o : objects)
        for (auto &g : o.groups)
            for (auto &f : g.faces)
                for (auto &c : f.c)
                    for (double v : {c.p.x, c.p.y, c.p.z, c.n.x, c.n.y, c.n.z})
                        m = fmax(m, fabs(as_written(v)));
    return (long)(32767.0 / (m + 1));
}

// Puts a marker's corners on the grid k / scale, offset a quarter step away
// from zero so the writer's truncation gives k back; the base centre is
// placed a whole number of steps from the apex.
void snap_markers(long scale)
{
    auto snap = [&](double v) {
        long k = lround(v * scale);
        return (k + (k > 0 ? 0.25 : k < 0 ? -0.25 : 0)) / scale;
    };
    for (auto &o : objects) {
        if (!o.snap)
            continue;
        auto &faces = o.groups[0].faces;
        vec apex = faces[1].c[0].p;
        vec base_centre = {0, 0, 0};
        for (auto &c : faces[0].c)
            base_centre = base_centre + c.p * 0.25;
        auto steps = [&](vec v) { return vec{(double)lround(v.x * scale), (double)lround(v.y * scale),
                                              (double)lround(v.z * scale)}; };
        vec ka = steps(apex), kc = ka + steps(base_centre - apex);
        for (auto &f : faces)
            for (auto &c : f.c) {
                bool is_apex = len(c.p - apex) < 1e-9;
                vec k = is_apex ? ka : kc + steps(c.p - base_centre);
                c.p = {snap(k.x / scale), snap(k.y / scale), snap(k.z / scale)};
            }
    }
}

struct key3 {
    float x, y, z;
    bool operator<(const key3 &o) const
    {
        return x != o.x ? x < o.x : y != o.y ? y < o.y : z < o.z;
    }
};

int write_model(const char *dir, const char *name, const std::vector<material_src> &mats)
{
    std::string mtl_path = std::string(dir) + "/" + name + ".mtl";
    std::string obj_path = std::string(dir) + "/" + name + ".obj";
    FILE *f = fopen(mtl_path.c_str(), "w");
    if (!f)
        return -1;
    fprintf(f, "# %s materials, written by tools/make-figures.cpp\n", name);
    for (auto &m : mats) {
        fprintf(f, "\nnewmtl %s\n", m.name.c_str());
        fprintf(f, "Ka %.4f %.4f %.4f\n", m.ka[0], m.ka[1], m.ka[2]);
        fprintf(f, "Kd %.4f %.4f %.4f\n", m.kd[0], m.kd[1], m.kd[2]);
        fprintf(f, "Ks 1.0000 1.0000 1.0000\nNs 100\nd 1\nillum 2\n");
    }
    fclose(f);

    long scale = dump_scale();
    snap_markers(scale);
    if (dump_scale() != scale) {
        fprintf(stderr, "make-figures: snapping the markers changed the scale\n");
        return -1;
    }
    std::map<key3, int> vindex, nindex;
    std::vector<key3> vs, ns;
    auto index = [](std::map<key3, int> &map, std::vector<key3> &list, vec v) {
        key3 k = {as_written(v.x), as_written(v.y), as_written(v.z)};
        auto it = map.find(k);
        if (it != map.end())
            return it->second;
        list.push_back(k);
        return map[k] = (int)list.size();
    };
    std::string body;
    char line[128];
    size_t faces = 0;
    for (auto &o : objects) {
        body += "o " + o.name + "\n";
        for (auto &g : o.groups) {
            body += "g " + o.name + "_" + g.material + "\nusemtl " + g.material + "\n";
            for (auto &fc : g.faces) {
                body += "f";
                for (auto &c : fc.c) {
                    snprintf(line, sizeof line, " %d//%d", index(vindex, vs, c.p), index(nindex, ns, c.n));
                    body += line;
                }
                body += "\n";
                faces++;
            }
        }
    }
    f = fopen(obj_path.c_str(), "w");
    if (!f)
        return -1;
    fprintf(f, "# %s figure, written by tools/make-figures.cpp (dump scale %ld)\n", name, scale);
    fprintf(f, "mtllib %s.mtl\n", name);
    for (auto &v : vs)
        fprintf(f, "v %.6f %.6f %.6f\n", v.x, v.y, v.z);
    for (auto &n : ns)
        fprintf(f, "vn %.6f %.6f %.6f\n", n.x, n.y, n.z);
    fputs(body.c_str(), f);
    fclose(f);
    printf("%s: %zu vertices, %zu normals, %zu faces, dump scale %ld\n", name, vs.size(), ns.size(),
           faces, scale);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || strcmp(argv[1], "--help") == 0) {
        fputs("usage: make-figures DATA_DIR\n"
              "Writes walker.obj, walker.mtl, serf.obj and serf.mtl into DATA_DIR.\n",
              argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    // Materials are listed in the reverse of the dump's order: the import adds
    // each record at the head of its list.
    write_walker_objects();
    if (write_model(argv[1], "walker",
                    {{"yellow", {0.3067, 0.3067, 0.3067}, {1, 0.9667, 0}},
                     {"red", {0.14, 0.14, 0.14}, {0.92, 0, 0}},
                     {"default2", {0, 0, 0}, {1, 1, 1}},
                     {"default", {1, 1, 1}, {1, 1, 1}},
                     {"blu", {0, 0, 0}, {0.16, 0.2733, 1}},
                     {"blk", {0, 0, 0}, {0, 0, 0}}}) < 0)
        return 1;
    objects.clear();
    write_serf_objects();
    if (write_model(argv[1], "serf",
                    {{"yellowi", {0.16, 0.16, 0.16}, {0.9733, 0.94, 0.1622}},
                     {"redi", {0.14, 0.14, 0.14}, {1, 0.1733, 0}},
                     {"default", {0.1067, 0.1067, 0.1067}, {1, 1, 1}},
                     {"bluu", {0.12, 0.12, 0.12}, {0.04, 0.1933, 1}},
                     {"blak", {0.0533, 0.0533, 0.0533}, {0.0133, 0.0133, 0.0133}}}) < 0)
        return 1;
    return 0;
}
