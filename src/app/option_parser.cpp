// Command-line option parsing with getopt_long: long options with "=value" or a separate
// value, a few short forms, and every value checked against its range before the demo starts.
#include "app/option_parser.h"

#include <getopt.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "scenes/end_scene.h"

const char* const demoUsage =
    "Usage: demotorva [options]\n"
    "Plays the demo full screen (800 x 600 mode switch) unless told otherwise.\n"
    "\n"
    "Live play:\n"
    "  -w, --window        play in a resizable window instead of full screen\n"
    "      --desktop       full screen at the desktop's resolution, the frame drawn at the\n"
    "                      largest 4:3 size that fits, between black bars\n"
    "      --size WxH      draw every frame at W x H (320x240 to 3840x2880; default 800x600)\n"
    "      --start S       start at demo time S seconds, the music in step\n"
    "      --loop          play the demo again from the start until you quit\n"
    "      --mute          play without sound\n"
    "      --volume DB     gain of the music in decibels (-60 to 12, default 0)\n"
    "      --no-vsync      draw without waiting for the display's refresh\n"
    "      --show-time     start with the time read-out on (key T)\n"
    "      --show-fps      start with the frame-rate read-out on (key F)\n"
    "  -d, --data DIR      read the demo's data from DIR\n"
    "\n"
    "Offline rendering (no window; an existing output file is overwritten):\n"
    "      --record FILE   the demo as a video with its music: H.264 and AAC in MP4, or in\n"
    "                      MKV when FILE ends in .mkv (needs ffmpeg)\n"
    "      --frames DIR    one PNG per frame, named by frame number and demo time\n"
    "      --audio FILE    the music as a WAV file (alone: no frames are drawn)\n"
    "      --fps N         frames per second of demo time, a whole number 1 to 240 (default 60)\n"
    "      --from S        write only frames from demo time S seconds on\n"
    "      --to S          write only frames up to demo time S seconds\n"
    "      --supersample N draw at N times the size (1 to 4) and filter down, for clean edges\n"
    "      --crf N         video quality, 0 (lossless) to 51 (default 18)\n"
    "      --preset NAME   video encoder preset, ultrafast to veryslow\n"
    "  -q, --quiet         no progress line\n"
    "      --benchmark     play offscreen as fast as it goes and print frame rates per scene\n"
    "\n"
    "  -h, --help          show this text\n"
    "  -V, --version       show the version\n"
    "\n"
    "Keys: Escape quits, Space ends the scene, T and F toggle the time and frame-rate\n"
    "read-outs, Down pauses, Up resumes, Left and Right seek back and forward.\n"
    "\n"
    "Exit status: 0 when the demo played to its end or you ended it (Escape, closing the\n"
    "window, Space through the last scene); 1 when it could not start (no display, no OpenGL,\n"
    "a failed load) or an offline output could not be written; 2 for a bad option or data\n"
    "folder.\n";

const char* const demoTryHelp = "Try 'demotorva --help' for more information.\n";

namespace {
// Option codes of the long options without a short form.
enum : int {
    optDesktop = 256,
    optSize,
    optStart,
    optLoop,
    optMute,
    optVolume,
    optNoVsync,
    optShowTime,
    optShowFps,
    optRecord,
    optFrames,
    optAudio,
    optFps,
    optFrom,
    optTo,
    optSupersample,
    optCrf,
    optPreset,
    optBenchmark,
};

const option longOptions[] = {
    {"window", no_argument, nullptr, 'w'},
    {"desktop", no_argument, nullptr, optDesktop},
    {"size", required_argument, nullptr, optSize},
    {"start", required_argument, nullptr, optStart},
    {"loop", no_argument, nullptr, optLoop},
    {"mute", no_argument, nullptr, optMute},
    {"volume", required_argument, nullptr, optVolume},
    {"no-vsync", no_argument, nullptr, optNoVsync},
    {"show-time", no_argument, nullptr, optShowTime},
    {"show-fps", no_argument, nullptr, optShowFps},
    {"data", required_argument, nullptr, 'd'},
    {"record", required_argument, nullptr, optRecord},
    {"frames", required_argument, nullptr, optFrames},
    {"audio", required_argument, nullptr, optAudio},
    {"fps", required_argument, nullptr, optFps},
    {"from", required_argument, nullptr, optFrom},
    {"to", required_argument, nullptr, optTo},
    {"supersample", required_argument, nullptr, optSupersample},
    {"crf", required_argument, nullptr, optCrf},
    {"preset", required_argument, nullptr, optPreset},
    {"quiet", no_argument, nullptr, 'q'},
    {"benchmark", no_argument, nullptr, optBenchmark},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The leading ':' makes a missing value come back as ':' rather than '?'.
const char shortOptions[] = ":wd:qhV";

const char* const videoPresets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                    "medium",    "slow",      "slower",   "veryslow"};

const char* longName(int code)
{
    for (const option* o = longOptions; o->name; ++o)
        if (o->val == code) return o->name;
    return "?";
}

bool parseSeconds(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value);
}

// A whole number in [low, high], nothing else: "29.97", "30x" and " 30" are refused.
bool parseWhole(const char* text, int low, int high, int& value)
{
    if (*text < '0' || *text > '9') {
        if (*text != '-' || low >= 0) return false;
    }
    char* end = nullptr;
    errno = 0;
    long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    int w = 0, h = 0, used = 0;
    if (std::sscanf(text, "%5d%*[xX]%5d%n", &w, &h, &used) != 2 || text[used] != '\0') return false;
    if (w < minFrameWidth || h < minFrameHeight || w > maxFrameWidth || h > maxFrameHeight) return false;
    width = w;
    height = h;
    return true;
}

bool knownPreset(const char* name)
{
    for (const char* preset : videoPresets)
        if (std::strcmp(preset, name) == 0) return true;
    return false;
}

std::string badValue(int code, const char* value, const std::string& wanted)
{
    return std::string("bad value '") + value + "' for --" + longName(code) + ": " + wanted;
}

// The message for what getopt refused: an unknown name, or a value given to an option that
// takes none ("--window=3").
std::string unknownOption(const char* argument, int shortCode)
{
    std::string arg = argument;
    if (arg.rfind("--", 0) == 0) {
        std::string name = arg.substr(2, arg.find('=') - 2);
        for (const option* o = longOptions; o->name; ++o)
            if (name == o->name && arg.find('=') != std::string::npos)
                return "option '--" + name + "' takes no value";
        return "unknown option '" + arg + "'";
    }
    return std::string("unknown option '-") + static_cast<char>(shortCode ? shortCode : '?') + "'";
}

// The demo's length as the messages give it: "188".
std::string demoLengthText()
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(endSceneEndTime));
    return text;
}

// Options that only change what offline rendering writes, and what each needs. With nothing
// to write they would be dropped without a word, so they are refused instead.
struct OutputOnly {
    int code;
    bool needsVideo;  // true: only --record uses it; false: any offline output
};
const OutputOnly outputOnlyOptions[] = {
    {optCrf, true}, {optPreset, true}, {optSupersample, false}, {optFps, false},
    {optFrom, false}, {optTo, false}, {'q', false},
};

// Options of live play that offline rendering, which opens no window and plays no sound, has no
// use for.
const int liveOnlyOptions[] = {'w', optDesktop, optMute, optNoVsync};

bool checkCombinations(const DemoOptions& options, const std::set<int>& given, std::string& error)
{
    if (options.window && options.desktop) {
        error = "--window and --desktop cannot be combined";
        return false;
    }
    if (options.to >= 0 && options.from > options.to) {
        error = "--from must not come after --to";
        return false;
    }
    const bool offline = offlineRequested(options);
    if (offline && (options.loop || options.start > 0)) {
        error = options.loop ? "--loop plays live only; offline rendering ends with the demo"
                             : "--start plays live only; offline rendering takes --from";
        return false;
    }
    const bool writes = !options.recordFile.empty() || !options.framesDir.empty() || !options.audioFile.empty();
    if (options.benchmark && writes) {
        error = "--benchmark draws without writing anything; it cannot be combined with --record, "
                "--frames or --audio";
        return false;
    }
    for (int code : liveOnlyOptions) {
        if (offline && given.count(code)) {
            error = std::string("--") + longName(code) + " is for live play; " +
                    (options.benchmark ? "--benchmark" : "offline rendering") + " opens no window and plays no sound";
            return false;
        }
    }
    for (const OutputOnly& o : outputOnlyOptions) {
        if (!given.count(o.code)) continue;
        // The benchmark draws at the frame options' size and rate; it writes no video.
        const bool used = o.needsVideo ? !options.recordFile.empty() : offline;
        if (used) continue;
        error = std::string("--") + longName(o.code) +
                (o.needsVideo ? " sets how the video is encoded; it needs --record FILE"
                              : " applies to offline rendering; it needs --record, --frames, --audio or --benchmark");
        if (!offline && !o.needsVideo && o.code == optFrom) error += " (live play starts later with --start)";
        return false;
    }
    return true;
}
}  // namespace

bool parseDemoOptions(int argc, char** argv, DemoOptions& options, std::string& error)
{
    // getopt keeps its place in globals; 0 starts it afresh, so the parser can run more than
    // once in a process. Its own messages are off: ours name the option in one line.
    optind = 0;
    opterr = 0;
    int code = 0;
    std::set<int> given;
    while ((code = getopt_long(argc, argv, shortOptions, longOptions, nullptr)) != -1) {
        const char* v = optarg;
        given.insert(code);
        switch (code) {
        case 'w': options.window = true; break;
        case optDesktop: options.desktop = true; break;
        case 'q': options.quiet = true; break;
        case 'h': options.help = true; break;
        case 'V': options.version = true; break;
        case optLoop: options.loop = true; break;
        case optMute: options.mute = true; break;
        case optNoVsync: options.noVsync = true; break;
        case optShowTime: options.showTime = true; break;
        case optShowFps: options.showFps = true; break;
        case optBenchmark: options.benchmark = true; break;
        case 'd':
        case optRecord:
        case optFrames:
        case optAudio:
            // An empty name would name the working directory or nothing at all.
            if (*v == '\0') {
                error = badValue(code, v, code == 'd' || code == optFrames ? "a folder name" : "a file name");
                return false;
            }
            (code == 'd' ? options.dataDir : code == optRecord ? options.recordFile
                                           : code == optFrames ? options.framesDir : options.audioFile) = v;
            break;
        case optPreset:
            if (!knownPreset(v)) {
                error = badValue(code, v, "one of ultrafast, superfast, veryfast, faster, fast, medium, "
                                          "slow, slower, veryslow");
                return false;
            }
            options.preset = v;
            break;
        case optSize:
            if (!parseSize(v, options.width, options.height)) {
                error = badValue(code, v, "WIDTHxHEIGHT from 320x240 to 3840x2880");
                return false;
            }
            break;
        case optFps:
            if (!parseWhole(v, 1, 240, options.fps)) {
                error = badValue(code, v, "a whole number from 1 to 240");
                return false;
            }
            break;
        case optSupersample:
            if (!parseWhole(v, 1, 4, options.supersample)) {
                error = badValue(code, v, "a whole number from 1 to 4");
                return false;
            }
            break;
        case optCrf:
            if (!parseWhole(v, 0, 51, options.crf)) {
                error = badValue(code, v, "a whole number from 0 to 51");
                return false;
            }
            break;
        case optVolume:
            if (!parseSeconds(v, options.volumeDb) || options.volumeDb < -60 || options.volumeDb > 12) {
                error = badValue(code, v, "decibels from -60 to 12");
                return false;
            }
            break;
        case optStart:
        case optFrom:
        case optTo: {
            double seconds = 0;
            // A start past the end would play or write nothing and still report success; an end
            // past it only means the demo's own end.
            if (!parseSeconds(v, seconds) || seconds < 0 || (code != optTo && seconds > endSceneEndTime)) {
                error = badValue(code, v, code == optTo ? std::string("seconds of demo time, 0 or more")
                                                        : "seconds of demo time from 0 to " + demoLengthText() +
                                                              " (the demo is " + demoLengthText() + " s long)");
                return false;
            }
            (code == optStart ? options.start : code == optFrom ? options.from : options.to) = seconds;
            break;
        }
        case ':':
            error = std::string("option '") + argv[optind - 1] + "' needs a value";
            return false;
        default:
            error = unknownOption(argv[optind - 1], optopt);
            return false;
        }
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] + "'";
        return false;
    }
    return checkCombinations(options, given, error);
}
