// Demo clock and frame-rate meter (not yet counting).
#include "shell/demo_clock.h"

DemoClock demoClock;
FrameRateMeter frameRateMeter;

void startClock() {}
float readClock() { return 0.0f; }
void recordFrame(float) {}
