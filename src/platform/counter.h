// High-resolution counter: the real one (SDL's performance counter) or a virtual one that tests
// and offline rendering set and advance, so demo time can be made exact and repeatable.
#pragma once

#include <cstdint>

int64_t counterValue();      // current count
int64_t counterFrequency();  // counts per second

// Switches to the virtual counter with the given frequency and value; readings then change only
// through setVirtualCounter and advanceVirtualCounter.
void useVirtualCounter(int64_t frequency, int64_t value = 0);
void setVirtualCounter(int64_t value);
void advanceVirtualCounter(int64_t counts);
void useRealCounter();
