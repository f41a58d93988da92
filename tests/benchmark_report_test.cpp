// The benchmark report from made-up frame times: rates between first and last frames, longest
// frames, and the gaps at the start and at each scene change shown apart from them.
#include <gtest/gtest.h>

#include "capture/benchmark_report.h"

TEST(BenchmarkReport, RatesLongestFramesAndGaps)
{
    resetBenchmarkReport();
    noteBenchmarkFrame("intro", 0.200);  // start-up: 200 ms to the first frame
    noteBenchmarkFrame("intro", 0.210);
    noteBenchmarkFrame("intro", 0.240);  // longest intro frame: 30 ms
    noteBenchmarkFrame("intro", 0.250);  // 3 frames in 50 ms: 60 frames/s
    noteBenchmarkFrame("temple", 0.290); // 40 ms at the cut
    noteBenchmarkFrame("temple", 0.295);
    noteBenchmarkFrame("temple", 0.300); // 2 frames in 10 ms: 200 frames/s; all: 6 in 100 ms
    EXPECT_EQ(benchmarkReportText(100.0),
              "start-up to first frame: 200.0 ms\n"
              "baseline (clear and one textured quad): 100.0 frames/s\n"
              "scene    frames  frames/s  of baseline  longest ms  gap before ms\n"
              "intro         4      60.0        0.600        30.0       start\n"
              "temple        3     200.0        2.000         5.0           40.0\n"
              "overall       7      60.0        0.600        30.0           40.0\n");
}
