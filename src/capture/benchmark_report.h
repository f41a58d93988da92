// Frame-rate report of a benchmark run: per scene its frames per second, the ratio to a
// baseline frame measured in the same run, its longest frame, and the gap between the last
// frame of the scene before and its own first frame (where cleanup, init and the first draw
// fall); the first scene's gap is the start-up, from the program's start to its first frame.
//
// Usage:
//   resetBenchmarkReport();                                       // before the first frame
//   noteBenchmarkFrame(sceneName, benchmarkClockSeconds());       // after each finished frame
//   std::fputs(benchmarkReportText(baselineFps).c_str(), stdout); // once at the end
//
// Times are seconds on one steady clock whose zero is the program's start (static
// initialisation, just before main), so the report can be fed made-up times as well.
#pragma once

#include <string>

// Seconds since the program started.
double benchmarkClockSeconds();
// Forgets every frame noted so far.
void resetBenchmarkReport();
// One frame of the named scene finished at endSeconds; frames come in time order, a new name
// starts a new scene.
void noteBenchmarkFrame(const char* sceneName, double endSeconds);
// The report: a start-up line, a baseline line, a heading, one line per scene and an overall
// line (frames, frames/s, ratio to the baseline, longest frame in ms, gap before in ms).
std::string benchmarkReportText(double baselineFramesPerSecond);
