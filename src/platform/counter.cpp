// Counter stand-in: SDL's performance counter, or a virtual counter under test control.
#include "platform/counter.h"

#include <SDL.h>

namespace {
bool virtualActive = false;
int64_t virtualFrequency = 1;
int64_t virtualValue = 0;
}

int64_t counterValue()
{
    return virtualActive ? virtualValue : static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t counterFrequency()
{
    return virtualActive ? virtualFrequency : static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

void useVirtualCounter(int64_t frequency, int64_t value)
{
    virtualActive = true;
    virtualFrequency = frequency > 0 ? frequency : 1;
    virtualValue = value;
}

void setVirtualCounter(int64_t value) { virtualValue = value; }
void advanceVirtualCounter(int64_t counts) { virtualValue += counts; }
void useRealCounter() { virtualActive = false; }
