#include "link/link_clock.h"

#include <SDL_timer.h>

uint32_t CSdlTickClock::GetMilliseconds()
{
    return SDL_GetTicks();
}
