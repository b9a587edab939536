// The brick effects that the scenes draw; each records its static geometry at set-up.
#pragma once

void hakkyra_init(void);  // the contraption of brick frames
void hakkyra(float t);

void tunneli_init(void);  // the brick tunnel
void tunneli(float t, int dir);

void spiral_init(void);   // the two brick spirals
void spiral(float t);

void ball_init(void);     // the two brick balls
void ball1(float t);
void ball2(float t, int spin);

void naamat_init(void);   // the brick faces
void naamat(float t, int which, float angle);
