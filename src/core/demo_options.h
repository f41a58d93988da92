// Command-line options of demotorva, as one program-wide record that the window, the runner
// and the offline pipeline read. With none the demo behaves as it always did: full screen (or
// the question when that mode is missing), 800 x 600, data from the working directory. The
// record is filled and checked by the option parser of the program's entry (app/option_parser),
// so the rest of the program can trust it.
#pragma once

#include <string>

struct DemoOptions {
    bool window = false;      // --window, -w: start in a resizable window without asking
    bool desktop = false;     // --desktop: full screen at the desktop's resolution
    std::string dataDir;      // --data DIR, -d DIR
    bool help = false;        // --help, -h
    bool version = false;     // --version, -V
    int width = 0;            // --size WxH: frame width the scenes draw at (0: not given)
    int height = 0;           // --size WxH: frame height (0: not given)
    int supersample = 1;      // --supersample N: offline frames drawn N times larger, filtered down
    std::string recordFile;   // --record FILE: video with music (MP4, or MKV by its name)
    std::string framesDir;    // --frames DIR: one PNG per frame
    std::string audioFile;    // --audio FILE: the music as WAV
    int fps = 60;             // --fps N: whole frames per second of demo time, 1 to 240
    double from = 0.0;        // --from S
    double to = -1.0;         // --to S (negative: to the end)
    int crf = 18;             // --crf N: the video encoder's constant rate factor, 0 to 51
    std::string preset;       // --preset NAME: the video encoder's speed preset (empty: ours)
    bool quiet = false;       // --quiet, -q: no progress line
    bool showTime = false;    // --show-time
    bool showFps = false;     // --show-fps
    bool benchmark = false;   // --benchmark
    double start = 0.0;       // --start S: live play begins at demo time S
    bool loop = false;        // --loop: live play starts again after the end until the user quits
    bool mute = false;        // --mute: live play without sound
    double volumeDb = 0.0;    // --volume DB: gain of the music in decibels
    bool noVsync = false;     // --no-vsync: draw without waiting for the display's refresh
};

// Smallest and largest frame sizes --size takes.
constexpr int minFrameWidth = 320, minFrameHeight = 240;
constexpr int maxFrameWidth = 3840, maxFrameHeight = 2880;

// True when the options ask for offline output (video, frames, music or the benchmark).
inline bool offlineRequested(const DemoOptions& options)
{
    return !options.recordFile.empty() || !options.framesDir.empty() || !options.audioFile.empty() ||
           options.benchmark;
}
// True when the options name a frame size of their own (--size).
inline bool frameSizeGiven(const DemoOptions& options) { return options.width > 0 && options.height > 0; }
