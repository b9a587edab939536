// The show's tick source: SDL's millisecond clock live, a virtual clock offline.
#include "shell/clock.h"

#include <SDL.h>

static int virtual_on;
static unsigned virtual_ms;

unsigned show_ticks(void)
{
    if (virtual_on)
        return virtual_ms;
    return SDL_GetTicks();
}

void show_ticks_set_virtual(unsigned ms)
{
    virtual_on = 1;
    virtual_ms = ms;
}
