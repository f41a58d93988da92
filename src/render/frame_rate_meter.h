// The frame-rate meter's record: the durations of the last frames and the frames per second
// they give. The shell's clock fills it at every reading; the frame-rate overlay shows it. It
// lives here, below both, so the overlay reads it without reaching up into the shell.
#pragma once

#include <cstdint>

struct FrameSample {
    float duration = 0.0f;         // this reading minus the previous one
    FrameSample* older = nullptr;  // next older sample, null for the oldest
    FrameSample* newer = nullptr;  // next newer sample, null for the newest
};

struct FrameRateMeter {
    FrameSample* newest = nullptr;
    FrameSample* oldest = nullptr;
    int32_t count = 0;              // samples held, at most windowSize
    int32_t windowSize = 70;        // frame durations averaged
    float previousTime = 0.0f;      // reading of the previous sample
    float framesPerSecond = 0.0f;   // latest value, shown by the frame-rate overlay
};

extern FrameRateMeter frameRateMeter;  // the one meter, defined with the clock
