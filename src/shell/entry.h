// The show's entry: opens audio and the window, prepares everything, runs the frame loop.
#pragma once

// Returns the process's exit status: 0 after the show, 1 on a failure to start.
int SDL_main(int argc, char **argv);

// The fixed 4:3 perspective and identity modelview that every frame starts from.
void set_frame_projection(void);

// Sets up every effect in the show's fixed order (needs a current OpenGL context).
void prepare_drawing(void);
