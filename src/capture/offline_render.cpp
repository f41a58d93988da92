// Offline rendering and the frame-rate benchmark.
//
// Frame k of a run at F frames per second is drawn at demo time exactly k / F: the virtual
// counter advances whole clock ticks as before (the frame-rate meter reads them), and the
// run's time offset adds what the 1/70 s tick leaves out, so the sum the runner hands the scene
// is the frame's own time to the last bit of a float. After each swap the frame is read back
// into the frame writer's ring (capture/frame_writer), which filters, writes PNG files and feeds
// the video encoder (capture/video_encoder) on its own thread while the next frame is drawn.
#include "capture/offline_render.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "capture/benchmark_report.h"
#include "capture/frame_writer.h"
#include "capture/video_encoder.h"
#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/counter.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "scenes/end_scene.h"
#include "shell/demo_clock.h"
#include "shell/gl_window.h"
#include "shell/scene_runner.h"

namespace fs = std::filesystem;

namespace {
using Clock = std::chrono::steady_clock;

struct OfflineRun {
    DemoOptions options;
    int64_t countsPerFrame = 0;
    int64_t frame = 0;           // frames swapped so far: the number of the next frame
    int64_t framesWritten = 0;
    int64_t firstWritten = -1;   // frame number of the first frame written
    int64_t firstToWrite = 0;    // frame numbers of the stretch, for the progress line
    int64_t lastToWrite = 0;
    VideoEncoder video;
    std::string audioTemp;       // the music for the video, until ffmpeg has muxed it
    bool writing = false;        // the frame writer runs
    bool failed = false;
    bool progress = false;
    Clock::time_point started;
    Clock::time_point lastProgress;
};

OfflineRun run;
constexpr double demoLength = endSceneEndTime;
constexpr int videoSampleRate = 48000;

double frameTime(int64_t frame) { return static_cast<double>(frame) / run.options.fps; }

// The reading of the demo clock at frame k: whole ticks of 1/70 s, computed as the clock does.
float clockReading(int64_t frame)
{
    return static_cast<float>(frame * clockTicksPerSecond / run.options.fps) /
                              static_cast<float>(clockTicksPerSecond);
}

// The offset that turns the clock's reading at frame k into the frame's exact time. The
// reading is at most one tick (1/70 s) under the time, so either it is 0 or the two lie within
// a factor of two of each other: the difference is exact in float and so is the sum.
float exactTimeOffset(int64_t frame)
{
    return static_cast<float>(frameTime(frame)) - clockReading(frame);
}

bool inStretch(int64_t frame)
{
    double t = frameTime(frame);
    return t + 1e-9 >= run.options.from && (run.options.to < 0 || t <= run.options.to + 1e-9);
}

std::string clockText(double seconds)
{
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

void showProgress(bool last)
{
    if (!run.progress) return;
    auto now = Clock::now();
    if (!last && now - run.lastProgress < std::chrono::milliseconds(250)) return;
    run.lastProgress = now;
    const double elapsed = std::chrono::duration<double>(now - run.started).count();
    const int64_t total = std::max<int64_t>(run.lastToWrite - run.firstToWrite + 1, 1);
    // Frames before the stretch are drawn too (the scenes build on earlier frames): the share
    // done counts them, so the percentage and the time left move from the first frame on.
    const double done = std::min(1.0, static_cast<double>(run.frame) / static_cast<double>(run.lastToWrite + 1));
    const double left = done > 0 ? elapsed * (1.0 - done) / done : 0.0;
    if (run.framesWritten == 0 && run.firstToWrite > 0)
        std::fprintf(stderr, "\rrun-up to %s: frame %lld of %lld (%.1f %%), %s elapsed, %s left   ",
                     clockText(frameTime(run.firstToWrite)).c_str(), static_cast<long long>(run.frame),
                     static_cast<long long>(run.firstToWrite), 100.0 * done, clockText(elapsed).c_str(),
                     clockText(left).c_str());
    else
        std::fprintf(stderr, "\rframe %lld of %lld (%.1f %%), %s elapsed, %s left   ",
                     static_cast<long long>(run.framesWritten), static_cast<long long>(total), 100.0 * done,
                     clockText(elapsed).c_str(), clockText(left).c_str());
    if (last) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Each frame is finished before it is timed, so a frame counts what it costs to draw, not
// only to queue.
void recordTiming()
{
    glFinish();
    noteBenchmarkFrame(currentSceneName, benchmarkClockSeconds());
}

// Reads the frame just swapped into the writer's ring.
void readFrame()
{
    const int w = demoSettings.width, h = demoSettings.height;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, frameWriterBuffer());
    glReadBuffer(GL_BACK);
    submitFrame(run.frame, frameTime(run.frame));
}

// After every swap: read the frame back when it is wanted, then move demo time to the next
// frame's exact time.
void afterSwap()
{
    if (run.options.benchmark) {
        recordTiming();
    } else if (inStretch(run.frame)) {
        if (run.firstWritten < 0) run.firstWritten = run.frame;
        if (run.writing) readFrame();
        run.framesWritten += 1;
    }
    run.frame += 1;
    showProgress(false);
    advanceVirtualCounter(run.countsPerFrame);
    demoState.timeOffset = exactTimeOffset(run.frame);
    if (run.writing && frameWriterFailed()) run.failed = true;
    if (run.failed || interruptRequested() ||
        (run.options.to >= 0 && frameTime(run.frame) > run.options.to + 1e-9))
        demoState.quitRequested = true;
}

// The music from demo time start for the given seconds, as a WAV file at sampleRate.
bool writeAudio(const std::string& path, double start, double seconds, int sampleRate)
{
    std::vector<int16_t> samples;
    int64_t first = static_cast<int64_t>(std::llround(start * sampleRate));
    int64_t count = static_cast<int64_t>(std::llround(seconds * sampleRate));
    if (!renderModuleSamples(musicModuleFile, first + count, samples, sampleRate)) {
        std::fprintf(stderr, "demotorva: cannot render the music from %s\n", musicModuleFile);
        return false;
    }
    std::vector<int16_t> stretch(samples.begin() + 2 * first, samples.end());
    if (!writeWavFile(path.c_str(), stretch, sampleRate)) {
        std::fprintf(stderr, "demotorva: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        std::error_code e;
        fs::remove(path, e);
        return false;
    }
    return true;
}

// The frames a run writes: those from --from up to --to or the end of the demo.
void stretchFrames(const DemoOptions& options, int64_t& first, int64_t& last)
{
    double end = options.to >= 0 ? std::min(options.to, demoLength) : demoLength;
    first = static_cast<int64_t>(std::ceil(options.from * options.fps - 1e-9));
    last = static_cast<int64_t>(std::floor(end * options.fps + 1e-9));
}

// Why path cannot be written, or an empty string: its folder must exist and take new files.
std::string folderProblem(const fs::path& folder)
{
    std::error_code e;
    if (!fs::exists(folder, e)) return "the folder " + folder.string() + " does not exist";
    if (!fs::is_directory(folder, e)) return folder.string() + " is not a folder";
    if (access(folder.c_str(), W_OK | X_OK) != 0) return "the folder " + folder.string() + " is not writable";
    return "";
}

bool refuse(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "demotorva: cannot write %s: %s\n", file.c_str(), reason.c_str());
    return false;
}

bool hasExtension(const std::string& file, const char* ext)
{
    std::string own = fs::path(file).extension().string();
    std::transform(own.begin(), own.end(), own.begin(), [](unsigned char c) { return std::tolower(c); });
    return own == ext;
}

// Encoder threads: what the two of a small machine leave beside drawing is used by x264's own
// lookahead and slice threads; more only add latency.
int encoderThreads() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8); }

bool startVideo(const DemoOptions& options)
{
    run.audioTemp = temporaryBeside(options.recordFile, "audio.wav");
    const double start = frameTime(run.firstToWrite);
    const double seconds = static_cast<double>(run.lastToWrite - run.firstToWrite + 1) / options.fps;
    if (!writeAudio(run.audioTemp, start, seconds, videoSampleRate)) return false;
    VideoSettings settings;
    settings.file = options.recordFile;
    settings.audioFile = run.audioTemp;
    settings.width = demoSettings.width / options.supersample;
    settings.height = demoSettings.height / options.supersample;
    settings.fps = options.fps;
    settings.crf = options.crf;
    settings.preset = options.preset;
    settings.threads = encoderThreads();
    std::string error;
    if (!startVideoEncoder(run.video, settings, error)) {
        std::fprintf(stderr, "demotorva: cannot record %s: %s\n", options.recordFile.c_str(), error.c_str());
        return false;
    }
    return true;
}

void removeAudioTemp()
{
    std::error_code e;
    if (!run.audioTemp.empty()) fs::remove(run.audioTemp, e);
    run.audioTemp.clear();
}

// Clear and one full-screen textured quad: what every frame costs at least.
double baselineFramesPerSecond()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(1, 1, 1, 1);
    // The first frames compile the renderer's program and are not counted; the fastest of
    // three rounds is taken, so that a moment's interruption by other work on the machine does
    // not lower the baseline and raise every scene's ratio.
    double best = 0.0;
    for (int round = -1; round < 3; ++round) {
        const int frames = round < 0 ? 20 : 150;
        auto start = Clock::now();
        for (int i = 0; i < frames; ++i) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(0, 0);
            glTexCoord2f(1, 0);
            glVertex2f(1, 0);
            glTexCoord2f(1, 1);
            glVertex2f(1, 1);
            glTexCoord2f(0, 1);
            glVertex2f(0, 1);
            glEnd();
            swapGlBuffers();
            glFinish();
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (round >= 0 && seconds > 0) best = std::max(best, frames / seconds);
    }
    return best;
}
}  // namespace

bool checkOfflineTools(const DemoOptions& options)
{
    if (!options.recordFile.empty()) {
        const std::string& file = options.recordFile;
        if (!videoContainerOffered(file)) return refuse(file, "the name must end in .mp4 or .mkv");
        // The video's colours are stored at half resolution both ways (4:2:0), which H.264
        // encoders accept only for even sizes.
        if (frameSizeGiven(options) && (options.width % 2 != 0 || options.height % 2 != 0))
            return refuse(file, "a video needs an even width and height, not " + std::to_string(options.width) +
                                    " x " + std::to_string(options.height));
        std::string problem = folderProblem(fs::absolute(file).parent_path());
        if (!problem.empty()) return refuse(file, problem);
        if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
            std::fprintf(stderr, "demotorva: --record needs ffmpeg; install the Debian package ffmpeg "
                                 "(sudo apt-get install ffmpeg)\n");
            return false;
        }
    }
    if (!options.audioFile.empty()) {
        const std::string& file = options.audioFile;
        if (!hasExtension(file, ".wav")) return refuse(file, "the name must end in .wav");
        std::string problem = folderProblem(fs::absolute(file).parent_path());
        if (!problem.empty()) return refuse(file, problem);
    }
    if (!options.framesDir.empty()) {
        // The frames' own folder is made when missing; the one it goes in must exist.
        const fs::path dir = fs::absolute(options.framesDir);
        std::error_code e;
        std::string problem = fs::exists(dir, e) ? folderProblem(dir) : folderProblem(dir.parent_path());
        if (!problem.empty()) return refuse(options.framesDir, problem);
        fs::create_directory(dir, e);
        if (e) return refuse(options.framesDir, e.message());
    }
    return true;
}

bool audioOnlyRequested(const DemoOptions& options)
{
    return !options.audioFile.empty() && options.recordFile.empty() && options.framesDir.empty() &&
           !options.benchmark;
}

int renderAudioOnly(const DemoOptions& options)
{
    run = OfflineRun{};
    run.options = options;
    stretchFrames(options, run.firstToWrite, run.lastToWrite);
    const int64_t frames = std::max<int64_t>(run.lastToWrite - run.firstToWrite + 1, 0);
    return writeAudio(options.audioFile, frameTime(run.firstToWrite), static_cast<double>(frames) / options.fps,
                      44100)
               ? 0
               : 1;
}

bool beginOfflineRender(const DemoOptions& options)
{
    run = OfflineRun{};
    run.options = options;
    GLint largest[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    if (demoSettings.width > largest[0] || demoSettings.height > largest[1]) {
        std::fprintf(stderr, "demotorva: this OpenGL driver draws at most %d x %d, not %d x %d%s\n", largest[0],
                     largest[1], demoSettings.width, demoSettings.height,
                     options.supersample > 1 ? "; use a smaller --supersample or --size" : "; use a smaller --size");
        return false;
    }
    // Whole ticks of the virtual counter per frame; the exact remainder is the time offset.
    run.countsPerFrame = clockTicksPerSecond * 1000;
    useVirtualCounter(run.countsPerFrame * options.fps, 0);
    demoState.timeOffset = 0.0f;
    setIgnoreEvents(true);
    clearMessages();
    stretchFrames(options, run.firstToWrite, run.lastToWrite);
    resetBenchmarkReport();
    run.progress = !options.quiet && !options.benchmark && isatty(fileno(stderr)) != 0;
    installInterruptHandlers();
    if (!options.recordFile.empty() && !startVideo(options)) {
        removeAudioTemp();
        restoreInterruptHandlers();
        return false;
    }
    if (!options.benchmark && (!options.framesDir.empty() || !options.recordFile.empty())) {
        FrameWriterSettings settings;
        settings.width = demoSettings.width / options.supersample;
        settings.height = demoSettings.height / options.supersample;
        settings.scale = options.supersample;
        settings.framesDir = options.framesDir;
        settings.video = options.recordFile.empty() ? nullptr : &run.video;
        run.writing = startFrameWriter(settings);
    }
    run.started = run.lastProgress = Clock::now();
    frameHook = afterSwap;
    return true;
}

bool finishOfflineRender()
{
    frameHook = nullptr;
    const bool interrupted = interruptRequested();
    bool ok = !run.failed && !interrupted;
    if (run.writing) ok = stopFrameWriter(!ok) && ok;
    showProgress(true);
    // A run that stopped early leaves the frames it wrote; say so, so that a folder holding part
    // of the demo is not taken for the whole.
    if (run.writing && !ok && !run.options.framesDir.empty() && frameFilesWritten() > 0)
        std::fprintf(stderr, "demotorva: the %lld frames written before the run stopped are left in %s\n",
                     static_cast<long long>(frameFilesWritten()), run.options.framesDir.c_str());
    run.writing = false;
    if (run.options.benchmark) std::fputs(benchmarkReportText(baselineFramesPerSecond()).c_str(), stdout);
    if (ok && !run.options.audioFile.empty()) {
        double start = run.firstWritten >= 0 ? frameTime(run.firstWritten) : run.options.from;
        double seconds = static_cast<double>(run.framesWritten) / run.options.fps;
        ok = writeAudio(run.options.audioFile, start, seconds, audioOutputRate);
    }
    if (!run.options.recordFile.empty()) {
        const std::string& file = run.options.recordFile;
        std::string error;
        if (!ok) {
            abortVideoEncoder(run.video);
        } else {
            if (run.progress) std::fprintf(stderr, "muxing %s ...\n", file.c_str());
            ok = finishVideoEncoder(run.video, error);
        }
        removeAudioTemp();
        if (ok) std::fprintf(stderr, "demotorva: wrote %s\n", file.c_str());
        else std::fprintf(stderr, "demotorva: %s not written%s%s\n", file.c_str(), error.empty() ? "" : ": ",
                          error.c_str());
    }
    if (interrupted) std::fprintf(stderr, "demotorva: stopped by %s\n", interruptSignalName());
    restoreInterruptHandlers();
    demoState.timeOffset = 0.0f;
    useRealCounter();
    setIgnoreEvents(false);
    return ok;
}
