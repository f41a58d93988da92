// Demo clock and frame-rate meter.
//
// Demo time is the number of whole ticks since startClock divided by 70. Periods of 3570 ticks
// are counted by moving the mark forward by exactly one period of counts for each period that
// has passed, so no reading is ever lost at a boundary and readings never go backwards.
#include "shell/demo_clock.h"

#include "core/demo_state.h"
#include "platform/counter.h"

DemoClock demoClock;
FrameRateMeter frameRateMeter;

void startClock()
{
    demoClock.frequency = counterFrequency();
    demoClock.startMark = counterValue();
    demoClock.lastCounter = demoClock.startMark;
    demoClock.periodCount = 0;
    demoClock.tickTotal = 0;
    // Readings count from 0 again (the demo played once more): the meter's next duration is
    // taken from 0 too, not from the old end, which would make it negative.
    frameRateMeter.previousTime = 0.0f;
}

namespace {
int64_t ticksIn(int64_t counts, int64_t frequency)
{
    if (counts <= 0 || frequency <= 0) return 0;
    // (counts * 70) / frequency without overflowing for large counts.
    int64_t whole = counts / frequency;
    int64_t rest = counts % frequency;
    return whole * clockTicksPerSecond + (rest * clockTicksPerSecond) / frequency;
}
}  // namespace

float readClock()
{
    demoClock.lastCounter = counterValue();
    int64_t frequency = demoClock.frequency > 0 ? demoClock.frequency : 1;
    int64_t ticks = ticksIn(demoClock.lastCounter - demoClock.startMark, frequency);
    // A period is 51 whole seconds, so its counts are exact.
    int64_t periodCounts = static_cast<int64_t>(clockPeriodTicks / clockTicksPerSecond) * frequency;
    while (ticks >= clockPeriodTicks) {
        demoClock.startMark += periodCounts;
        ticks -= clockPeriodTicks;
        demoClock.periodCount += 1;
    }
    demoClock.tickTotal = static_cast<int32_t>(ticks + static_cast<int64_t>(demoClock.periodCount) * clockPeriodTicks);
    float reading = static_cast<float>(demoClock.tickTotal) / static_cast<float>(clockTicksPerSecond);
    if (demoSettings.frameMeterEnabled) recordFrame(reading);
    return reading;
}

void recordFrame(float time)
{
    FrameRateMeter& m = frameRateMeter;
    auto* node = new FrameSample;
    if (!m.newest) {
        m.newest = node;
        m.oldest = node;
        m.count += 1;
    } else {
        node->older = m.newest;
        m.newest->newer = node;
        m.newest = node;
        if (m.count == m.windowSize) {
            FrameSample* dropped = m.oldest;
            m.oldest = dropped->newer;
            delete dropped;
            m.oldest->older = nullptr;
        } else {
            m.count += 1;
        }
    }
    node->duration = time - m.previousTime;
    float sum = 0.0f;
    for (FrameSample* s = m.newest; s; s = s->older) sum += s->duration;
    m.framesPerSecond = sum != 0.0f ? 1.0f / (sum / static_cast<float>(m.windowSize)) : 0.0f;
    m.previousTime = time;
}
