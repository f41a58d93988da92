// Frame-rate report of a benchmark run.
//
// A scene's frame rate is taken between its first and last frame, so the gap before its first
// frame (the previous scene's cleanup, its own init and first draw) is left out of the rate and
// of the longest frame and shown on its own: it is the stall a viewer sees at the cut.
#include "capture/benchmark_report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

const Clock::time_point programStart = Clock::now();

struct SceneFrames {
    std::string name;
    int frames = 0;
    double firstEnd = 0.0;   // end of the scene's first frame
    double lastEnd = 0.0;    // end of its latest frame
    double longest = 0.0;    // longest frame after the first, seconds
    double gapBefore = 0.0;  // from the previous scene's last frame (or the start) to the first
};

std::vector<SceneFrames> scenes;

std::string line(const char* format, auto... values)
{
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}
}  // namespace

double benchmarkClockSeconds()
{
    return std::chrono::duration<double>(Clock::now() - programStart).count();
}

void resetBenchmarkReport() { scenes.clear(); }

void noteBenchmarkFrame(const char* sceneName, double endSeconds)
{
    const std::string name = sceneName ? sceneName : "?";
    if (scenes.empty() || scenes.back().name != name) {
        const double previousEnd = scenes.empty() ? 0.0 : scenes.back().lastEnd;
        scenes.push_back({name, 1, endSeconds, endSeconds, 0.0, endSeconds - previousEnd});
        return;
    }
    SceneFrames& scene = scenes.back();
    scene.frames += 1;
    scene.longest = std::max(scene.longest, endSeconds - scene.lastEnd);
    scene.lastEnd = endSeconds;
}

std::string benchmarkReportText(double baseline)
{
    const auto ratio = [&](double fps) { return baseline > 0 ? fps / baseline : 0.0; };
    const auto rate = [](int frames, double seconds) { return seconds > 0 ? frames / seconds : 0.0; };
    std::string text;
    if (!scenes.empty())
        text += line("start-up to first frame: %.1f ms\n", scenes.front().gapBefore * 1000.0);
    text += line("baseline (clear and one textured quad): %.1f frames/s\n", baseline);
    text += "scene    frames  frames/s  of baseline  longest ms  gap before ms\n";
    int totalFrames = 0;
    double longest = 0.0, longestGap = 0.0;
    for (size_t i = 0; i < scenes.size(); ++i) {
        const SceneFrames& s = scenes[i];
        const double fps = rate(s.frames - 1, s.lastEnd - s.firstEnd);
        text += line("%-8s %6d %9.1f %12.3f %11.1f", s.name.c_str(), s.frames, fps, ratio(fps),
                     s.longest * 1000.0);
        text += i == 0 ? std::string("       start\n") : line(" %14.1f\n", s.gapBefore * 1000.0);
        totalFrames += s.frames;
        longest = std::max(longest, s.longest);
        if (i > 0) longestGap = std::max(longestGap, s.gapBefore);
    }
    // Overall: every frame after the first, scene changes included.
    const double span = scenes.empty() ? 0.0 : scenes.back().lastEnd - scenes.front().firstEnd;
    const double overall = rate(totalFrames - 1, span);
    text += line("overall  %6d %9.1f %12.3f %11.1f %14.1f\n", totalFrames, overall,
                 ratio(overall), longest * 1000.0, longestGap * 1000.0);
    return text;
}
