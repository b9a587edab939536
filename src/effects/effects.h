// The brick effects that the scenes draw; each records its static geometry at set-up.
#pragma once

void hakkyra_init(void);  // the contraption of brick frames
void hakkyra(float t);

void tunneli_init(void);  // the brick tunnel
void tunneli(float t, int dir);
// Fills the tunnel's 40 x 40 slab (1600 palette cells): the ring of 26 bricks, then ten
// stray yellow or red bricks from twenty rand() draws. tunneli_init records it once.
void tunneli_slab(signed char *cells);

void spiral_init(void);   // the two brick spirals
void spiral(float t);

void ball_init(void);     // the two brick balls
void ball1(float t);
void ball2(float t, int spin);

void naamat_init(void);   // the brick faces
// One frame: picture `which` (0..2, also the layout's seed) at fall clock t, plate turned
// by `angle` degrees about its normal.
void naamat(float t, int which, float angle);

// The three face pictures: 16 rows of 48 bytes, each row holding that row of pictures
// 0, 1 and 2; cell (r, c) of picture w is byte 48 r + 16 w + c, 255 set and 0 clear.
enum { NAAMAT_BYTES = 768 };
extern const unsigned char *const naamadata;

// Where one face brick starts and rests; drawn from rand() in this order.
struct face_brick {
    double start;  // fall-clock moment it lets go: 0 to 7.9875 in steps of 0.0125
    float jx, jz;  // resting offset across the plate: x 0 to 2/60, z 0 to 19/60 units
    float turn;    // fixed turn about the plate's normal: -10 to +9 degrees
};
face_brick naamat_layout(void);
// Height above the plate at fall clock t: 30 until t reaches start, then falling to
// 0 at start + sqrt(3) and staying there.
float naamat_height(double start, float t);
// The brick's list offset: 0/1 a set cell in the air/landed, 2/3 a clear cell;
// landed means a height of exactly 0.
int naamat_list(int set, float y);
