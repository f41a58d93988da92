// Demo clock and frame-rate meter.
//
// Demo time is counted in whole ticks of 1/70 second from the moment the music starts, read
// from the platform counter. Every reading also feeds the frame-rate meter, which keeps the
// durations of the last 70 frames in a doubly linked list and derives frames per second.
#pragma once

#include <cstdint>

#include "render/frame_rate_meter.h"

constexpr int32_t clockTicksPerSecond = 70;
constexpr int32_t clockPeriodTicks = 3570;  // 51 seconds

struct DemoClock {
    int64_t frequency = 0;    // counter counts per second
    int64_t startMark = 0;    // counter value at which the current period began
    int64_t lastCounter = 0;  // counter value of the latest reading
    int32_t periodCount = 0;  // whole periods completed since the clock started
    int32_t tickTotal = 0;    // ticks since the clock started, as of the latest reading
};

extern DemoClock demoClock;

// Reads the counter frequency and sets the start mark. Called once, right after the music starts.
void startClock();
// Seconds since startClock, a multiple of 1/70; also records the reading as a frame.
float readClock();
// Appends one sample to the meter and recomputes framesPerSecond.
void recordFrame(float time);
