// Demo clock and frame-rate meter on the virtual counter.
#include <gtest/gtest.h>

#include "core/demo_state.h"
#include "platform/counter.h"
#include "shell/demo_clock.h"

namespace {
void resetMeter()
{
    while (frameRateMeter.oldest) {
        FrameSample* next = frameRateMeter.oldest->newer;
        delete frameRateMeter.oldest;
        frameRateMeter.oldest = next;
    }
    frameRateMeter = FrameRateMeter{};
}

void start(int64_t frequency)
{
    resetMeter();
    demoClock = DemoClock{};
    useVirtualCounter(frequency, 1234567);
    startClock();
}

// Counter value at exactly the given tick after the start.
int64_t atTick(int64_t frequency, int64_t tick) { return 1234567 + (tick * frequency + 69) / 70; }
}  // namespace

TEST(DemoClock, FirstReadingAndQuantisation)
{
    const int64_t f = 3579545;
    start(f);
    EXPECT_EQ(readClock(), 0.0f);
    setVirtualCounter(atTick(f, 1) - 1);
    EXPECT_EQ(readClock(), 0.0f);
    setVirtualCounter(atTick(f, 1));
    EXPECT_FLOAT_EQ(readClock(), 1.0f / 70.0f);
    setVirtualCounter(atTick(f, 699) + 10);
    EXPECT_FLOAT_EQ(readClock(), 699.0f / 70.0f);
}

TEST(DemoClock, ExactToTheTickAcrossPeriodsForSmallAndHugeFrequencies)
{
    for (int64_t f : {int64_t{3579545}, int64_t{1000000}, int64_t{10000000000}, int64_t{3000000007}}) {
        start(f);
        float previous = -1.0f;
        for (int64_t tick = 0; tick < 3 * 3570 + 100; tick += 7) {
            setVirtualCounter(atTick(f, tick));
            float t = readClock();
            EXPECT_EQ(demoClock.tickTotal, tick) << "frequency " << f;
            EXPECT_FLOAT_EQ(t, static_cast<float>(tick) / 70.0f);
            EXPECT_GT(t, previous) << "tick " << tick;  // readings never stand still or go back
            previous = t;
        }
        EXPECT_EQ(demoClock.periodCount, 3);
    }
}

TEST(DemoClock, LongGapNeitherFallsBackNorLosesTime)
{
    const int64_t f = 3579545;
    start(f);
    setVirtualCounter(atTick(f, 70 * 10));
    EXPECT_FLOAT_EQ(readClock(), 10.0f);
    setVirtualCounter(atTick(f, 70 * 90));  // 80 s without a reading
    EXPECT_FLOAT_EQ(readClock(), 90.0f);
    setVirtualCounter(atTick(f, 70 * 90 + 1));
    EXPECT_FLOAT_EQ(readClock(), 90.0f + 1.0f / 70.0f);
    EXPECT_EQ(demoClock.periodCount, 1);
}

TEST(FrameRateMeter, WindowOf70Frames)
{
    const int64_t f = 7000;
    start(f);
    for (int i = 1; i <= 10; ++i) {
        setVirtualCounter(atTick(f, i));
        readClock();
    }
    EXPECT_NEAR(frameRateMeter.framesPerSecond, 490.0f, 0.05f);
    EXPECT_EQ(frameRateMeter.count, 10);
    for (int i = 11; i <= 100; ++i) {
        setVirtualCounter(atTick(f, i));
        readClock();
    }
    EXPECT_EQ(frameRateMeter.count, 70);
    EXPECT_NEAR(frameRateMeter.framesPerSecond, 70.0f, 0.05f);
    int n = 0;
    for (FrameSample* s = frameRateMeter.newest; s; s = s->older) ++n;
    EXPECT_EQ(n, 70);
    EXPECT_EQ(frameRateMeter.oldest->older, nullptr);

    // Played again (--loop), the clock starts from 0 once more: the meter goes on from there
    // and never takes the step back from the old end as a frame of negative length.
    startClock();
    for (int i = 1; i <= 5; ++i) {
        setVirtualCounter(atTick(f, 100) + (atTick(f, i) - atTick(f, 0)));
        readClock();
        EXPECT_GT(frameRateMeter.framesPerSecond, 0.0f) << "frame " << i << " after the restart";
    }
    EXPECT_NEAR(frameRateMeter.framesPerSecond, 70.0f, 0.05f);
}

TEST(FrameRateMeter, FirstSampleAndZeroDurations)
{
    start(7000);
    recordFrame(0.5f);
    EXPECT_FLOAT_EQ(frameRateMeter.newest->duration, 0.5f);
    resetMeter();
    for (int i = 0; i < 80; ++i) recordFrame(0.0f);
    EXPECT_EQ(frameRateMeter.framesPerSecond, 0.0f);
}
