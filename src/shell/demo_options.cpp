// Command-line option parsing.
#include "shell/demo_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const demoUsage =
    "Usage: demotorva [options]\n"
    "  --desktop       full screen at the desktop's own resolution, without a mode switch; the\n"
    "                  800 x 600 picture is scaled to fit, keeping its shape\n"
    "  --window        play in a window instead of full screen (800 x 600 at first; resizing\n"
    "                  it scales the picture)\n"
    "  --data DIR      read the demo's data from DIR\n"
    "  --record FILE   render the demo offline to a video with its music (MP4, needs ffmpeg)\n"
    "  --frames DIR    render the demo offline to one PNG per frame\n"
    "  --audio FILE    render the music to a WAV file\n"
    "  --fps N         frames per second of demo time when rendering (default 60)\n"
    "  --from S        write only frames from demo time S seconds\n"
    "  --to S          write only frames up to demo time S seconds\n"
    "  --show-time     start with the time overlay on (key T)\n"
    "  --show-fps      start with the frame-rate overlay on (key F)\n"
    "  --benchmark     play the demo offscreen as fast as it goes and print frame rates\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "Keys: Escape quits, Space skips the scene, T and F toggle the time and frame-rate\n"
    "read-outs, Down pauses, Up resumes, Left and Right seek.\n";

namespace {
bool parseNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}
}  // namespace

bool parseDemoOptions(int argc, char** argv, DemoOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        double number = 0;
        if (arg == "--window") options.window = true;
        else if (arg == "--desktop") options.desktop = true;
        else if (arg == "--help" || arg == "-h") options.help = true;
        else if (arg == "--version") options.version = true;
        else if (arg == "--show-time") options.showTime = true;
        else if (arg == "--show-fps") options.showFps = true;
        else if (arg == "--benchmark") options.benchmark = true;
        else if (arg == "--data") {
            if (!value(v)) return false;
            options.dataDir = v;
        } else if (arg == "--record") {
            if (!value(v)) return false;
            options.recordFile = v;
        } else if (arg == "--frames") {
            if (!value(v)) return false;
            options.framesDir = v;
        } else if (arg == "--audio") {
            if (!value(v)) return false;
            options.audioFile = v;
        } else if (arg == "--fps" || arg == "--from" || arg == "--to") {
            if (!value(v)) return false;
            if (!parseNumber(v, number) || number < 0 || (arg == "--fps" && (number < 1 || number > 1000))) {
                error = "bad value for " + arg + ": " + v;
                return false;
            }
            if (arg == "--fps") options.fps = static_cast<int>(number);
            else if (arg == "--from") options.from = number;
            else options.to = number;
        } else {
            error = "unknown option: " + arg;
            return false;
        }
    }
    if (options.window && options.desktop) {
        error = "--window and --desktop cannot be combined";
        return false;
    }
    return true;
}

bool offlineRequested(const DemoOptions& options)
{
    return !options.recordFile.empty() || !options.framesDir.empty() || !options.audioFile.empty() ||
           options.benchmark;
}
