// Command-line options of demotorva. With none the demo behaves as it always did: full screen
// (or the question when that mode is missing), data from the working directory.
#pragma once

#include <string>

struct DemoOptions {
    bool window = false;      // --window: start in a resizable window without asking
    bool desktop = false;     // --desktop: full screen at the desktop's resolution, frame scaled
    std::string dataDir;      // --data DIR
    bool help = false;        // --help
    bool version = false;     // --version
    std::string recordFile;   // --record FILE: video with music
    std::string framesDir;    // --frames DIR: one PNG per frame
    std::string audioFile;    // --audio FILE: the music as WAV
    int fps = 60;             // --fps N
    double from = 0.0;        // --from S
    double to = -1.0;         // --to S (negative: to the end)
    bool showTime = false;    // --show-time
    bool showFps = false;     // --show-fps
    bool benchmark = false;   // --benchmark
};

// Parses argv; false with error set when an option is unknown or its value is missing or bad.
bool parseDemoOptions(int argc, char** argv, DemoOptions& options, std::string& error);
bool offlineRequested(const DemoOptions& options);
extern const char* const demoUsage;
