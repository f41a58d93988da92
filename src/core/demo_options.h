// Command-line options of demotorva. With none the demo behaves as it always did: full screen
// (or the question when that mode is missing), 800 x 600, data from the working directory.
//
// Usage:
//     DemoOptions options;
//     std::string error;
//     if (!parseDemoOptions(argc, argv, options, error)) {
//         fprintf(stderr, "demotorva: %s\n%s", error.c_str(), demoTryHelp);   // exit 2
//     }
// Both "--option value" and "--option=value" are taken, and the short forms -w, -d, -q, -h
// and -V. Every value is checked here, so the rest of the program can trust the record.
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

// Parses argv; false with error set (one line, naming the option) when an option is unknown,
// a value is missing or out of range, an argument is left over, or options contradict.
bool parseDemoOptions(int argc, char** argv, DemoOptions& options, std::string& error);
bool offlineRequested(const DemoOptions& options);
// True when the options name a frame size of their own (--size).
bool frameSizeGiven(const DemoOptions& options);
extern const char* const demoUsage;
// The line printed after an option error, under the error itself.
extern const char* const demoTryHelp;
