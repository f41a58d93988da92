// Offline rendering and the frame-rate benchmark.
#include "shell/offline_render.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/audio.h"
#include "platform/counter.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/png_file.h"
#include "shell/benchmark_report.h"
#include "scenes/end_scene.h"
#include "shell/demo_clock.h"
#include "shell/demo_state.h"
#include "shell/gl_window.h"
#include "shell/scene_runner.h"

namespace fs = std::filesystem;

namespace {
using Clock = std::chrono::steady_clock;

struct OfflineRun {
    DemoOptions options;
    int64_t countsPerFrame = 0;
    int64_t frame = 0;           // frames swapped so far
    int64_t framesWritten = 0;
    int64_t firstWritten = -1;   // frame number of the first frame written
    int64_t totalFrames = 0;     // expected frames, for the progress line
    std::vector<unsigned char> pixels, flipped;
    std::FILE* video = nullptr;  // ffmpeg's standard input
    std::string videoTemp;
    bool failed = false;
    bool progress = false;
    Clock::time_point started;
    Clock::time_point lastProgress;
};

OfflineRun run;
constexpr double demoLength = endSceneEndTime;

double frameTime(int64_t frame) { return static_cast<double>(frame) / run.options.fps; }

// The demo time the draw of a frame gets: the clock is quantised to 1/70 s.
double drawnTime(int64_t frame) { return std::floor(frameTime(frame) * clockTicksPerSecond + 1e-9) / clockTicksPerSecond; }

bool inStretch(int64_t frame)
{
    double t = frameTime(frame);
    return t + 1e-9 >= run.options.from && (run.options.to < 0 || t <= run.options.to + 1e-9);
}

void showProgress(bool last)
{
    if (!run.progress) return;
    auto now = Clock::now();
    if (!last && now - run.lastProgress < std::chrono::milliseconds(250)) return;
    run.lastProgress = now;
    double elapsed = std::chrono::duration<double>(now - run.started).count();
    double rate = elapsed > 0 ? static_cast<double>(run.frame) / elapsed : 0.0;
    double left = rate > 0 ? static_cast<double>(run.totalFrames - run.frame) / rate : 0.0;
    if (left < 0) left = 0;
    std::fprintf(stderr, "\rframe %lld of %lld, %.1f frames/s, %.0f s left   ",
                 static_cast<long long>(run.frame), static_cast<long long>(run.totalFrames), rate, left);
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

void writeFrame()
{
    const int w = demoSettings.width, h = demoSettings.height;
    const size_t rowBytes = static_cast<size_t>(w) * 3;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, run.pixels.data());
    glReadBuffer(GL_BACK);
    for (int y = 0; y < h; ++y)
        std::copy_n(run.pixels.data() + static_cast<size_t>(h - 1 - y) * rowBytes, rowBytes,
                    run.flipped.data() + static_cast<size_t>(y) * rowBytes);
    if (!run.options.framesDir.empty()) {
        char name[64];
        std::snprintf(name, sizeof name, "frame-%06lld-%08.3f.png", static_cast<long long>(run.frame),
                      drawnTime(run.frame));
        std::string path = (fs::path(run.options.framesDir) / name).string();
        if (!writePngRgb(path.c_str(), w, h, run.flipped.data())) {
            std::fprintf(stderr, "demotorva: cannot write %s\n", path.c_str());
            run.failed = true;
        }
    }
    if (run.video && std::fwrite(run.flipped.data(), 1, run.flipped.size(), run.video) != run.flipped.size())
        run.failed = true;
}

// After every swap: read the frame back when it is wanted, then advance demo time one frame.
void afterSwap()
{
    if (run.options.benchmark) {
        recordTiming();
    } else if (inStretch(run.frame)) {
        if (run.firstWritten < 0) run.firstWritten = run.frame;
        writeFrame();
        run.framesWritten += 1;
    }
    run.frame += 1;
    showProgress(false);
    advanceVirtualCounter(run.countsPerFrame);
    if (run.failed || (run.options.to >= 0 && frameTime(run.frame) > run.options.to + 1e-9))
        demoState.quitRequested = true;
}

std::string shellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool writeAudio(const std::string& path, double start, double seconds)
{
    std::vector<int16_t> samples;
    int64_t first = static_cast<int64_t>(std::llround(start * audioOutputRate));
    int64_t count = static_cast<int64_t>(std::llround(seconds * audioOutputRate));
    if (!renderModuleSamples(musicModuleFile, first + count, samples)) {
        std::fprintf(stderr, "demotorva: cannot render the music from %s\n", musicModuleFile);
        return false;
    }
    std::vector<int16_t> stretch(samples.begin() + 2 * first, samples.end());
    if (!writeWavFile(path.c_str(), stretch)) {
        std::fprintf(stderr, "demotorva: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
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
    const int frames = 300;
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
    glFinish();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return seconds > 0 ? frames / seconds : 0.0;
}
}  // namespace

bool checkOfflineTools(const DemoOptions& options)
{
    if (!options.recordFile.empty() && std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "demotorva: --record needs ffmpeg; install the Debian package ffmpeg "
                             "(sudo apt-get install ffmpeg)\n");
        return false;
    }
    if (!options.framesDir.empty()) {
        std::error_code e;
        fs::create_directories(options.framesDir, e);
        if (e) {
            std::fprintf(stderr, "demotorva: cannot make %s: %s\n", options.framesDir.c_str(), e.message().c_str());
            return false;
        }
    }
    return true;
}

bool beginOfflineRender(const DemoOptions& options)
{
    run = OfflineRun{};
    run.options = options;
    run.countsPerFrame = clockTicksPerSecond * 1000;
    useVirtualCounter(run.countsPerFrame * options.fps, 0);
    setIgnoreEvents(true);
    clearMessages();
    double end = options.to >= 0 ? std::min(options.to, demoLength) : demoLength;
    run.totalFrames = static_cast<int64_t>(std::floor(end * options.fps)) + 1;
    run.progress = isatty(fileno(stderr)) != 0;
    run.started = run.lastProgress = Clock::now();
    resetBenchmarkReport();
    run.pixels.resize(static_cast<size_t>(demoSettings.width) * demoSettings.height * 3);
    run.flipped.resize(run.pixels.size());
    if (!options.recordFile.empty()) {
        run.videoTemp = options.recordFile + ".video.mp4";
        std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " +
                              std::to_string(demoSettings.width) + "x" + std::to_string(demoSettings.height) +
                              " -framerate " + std::to_string(options.fps) +
                              " -i - -c:v libx264 -preset veryfast -pix_fmt yuv420p -threads 1 " +
                              shellQuote(run.videoTemp);
        run.video = popen(command.c_str(), "w");
        if (!run.video) {
            std::fprintf(stderr, "demotorva: cannot start ffmpeg\n");
            return false;
        }
    }
    frameHook = afterSwap;
    return true;
}

bool finishOfflineRender()
{
    frameHook = nullptr;
    showProgress(true);
    bool ok = !run.failed;
    if (run.options.benchmark) std::fputs(benchmarkReportText(baselineFramesPerSecond()).c_str(), stdout);
    double start = run.firstWritten >= 0 ? frameTime(run.firstWritten) : run.options.from;
    double seconds = static_cast<double>(run.framesWritten) / run.options.fps;
    if (!run.options.audioFile.empty() && !writeAudio(run.options.audioFile, start, seconds)) ok = false;
    if (run.video) {
        if (pclose(run.video) != 0) ok = false;
        run.video = nullptr;
        std::string wav = run.options.recordFile + ".audio.wav";
        if (ok && writeAudio(wav, start, seconds)) {
            std::string command = "ffmpeg -loglevel error -y -i " + shellQuote(run.videoTemp) + " -i " +
                                  shellQuote(wav) + " -c:v copy -c:a aac -b:a 192k -shortest " +
                                  shellQuote(run.options.recordFile);
            if (std::system(command.c_str()) != 0) ok = false;
        } else {
            ok = false;
        }
        std::error_code e;
        fs::remove(wav, e);
        fs::remove(run.videoTemp, e);
        if (ok) std::fprintf(stderr, "demotorva: wrote %s\n", run.options.recordFile.c_str());
    }
    useRealCounter();
    setIgnoreEvents(false);
    return ok;
}
