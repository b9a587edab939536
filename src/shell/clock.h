// The show's tick source: the one seam between the show and wall-clock time.
#pragma once

// Milliseconds since the media library started (SDL_GetTicks), or the virtual
// time set by the offline capture and the tests once a virtual clock is in use.
unsigned show_ticks(void);

// Switches the show to a virtual clock that reads `ms` until set again.
void show_ticks_set_virtual(unsigned ms);
