// ffmpeg as a child process fed through a pipe, with signal handling and temporary files.
#include "capture/video_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

const char* const defaultVideoPreset = "ultrafast";
const char* const defaultVideoTuning = "cabac=1:deblock=1:bframes=3";

namespace {
volatile sig_atomic_t interruptSignal = 0;

void onInterrupt(int signal) { interruptSignal = signal; }

std::string lowerExtension(const std::string& file)
{
    std::string ext = fs::path(file).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

void removeQuietly(const std::string& path)
{
    std::error_code e;
    if (!path.empty()) fs::remove(path, e);
}

// Waits for the child, retrying when a signal interrupts the wait. Its exit status, or -1.
int waitForChild(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
        if (interruptRequested()) kill(pid, SIGTERM);  // the user stops the muxing too
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return -1;
}
}  // namespace

bool videoContainerOffered(const std::string& file)
{
    const std::string ext = lowerExtension(file);
    return ext == ".mp4" || ext == ".mkv";
}

std::string temporaryBeside(const std::string& file, const char* what)
{
    const fs::path path(file);
    const std::string name = "." + path.filename().string() + "." + what + "-" + std::to_string(getpid());
    return (path.parent_path() / name).string();
}

void installInterruptHandlers()
{
    interruptSignal = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a pipe write blocked on a stalled encoder returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void restoreInterruptHandlers()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
}

bool interruptRequested() { return interruptSignal != 0; }

const char* interruptSignalName()
{
    if (interruptSignal == SIGINT) return "SIGINT";
    if (interruptSignal == SIGTERM) return "SIGTERM";
    return "";
}

bool startVideoEncoder(VideoEncoder& encoder, const VideoSettings& settings, std::string& error)
{
    encoder = VideoEncoder{};
    encoder.file = settings.file;
    encoder.tempFile = temporaryBeside(settings.file, "part");
    const bool matroska = lowerExtension(settings.file) == ".mkv";
    const std::string size = std::to_string(settings.width) + "x" + std::to_string(settings.height);
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                     "-f", "rawvideo", "-pix_fmt", "yuv420p", "-video_size", size,
                                     "-framerate", std::to_string(settings.fps), "-i", "pipe:0"};
    if (!settings.audioFile.empty()) {
        args.insert(args.end(), {"-i", settings.audioFile, "-map", "0:v:0", "-map", "1:a:0", "-c:a", "aac",
                                 "-b:a", "192k", "-shortest"});
    }
    // The frames come upright and in 4:2:0 already (capture/frame_yuv): x264 takes them as they are.
    args.insert(args.end(), {"-c:v", "libx264", "-preset",
                             settings.preset.empty() ? defaultVideoPreset : settings.preset, "-crf",
                             std::to_string(settings.crf), "-pix_fmt", "yuv420p"});
    if (settings.preset.empty()) args.insert(args.end(), {"-x264-params", defaultVideoTuning});
    if (settings.threads > 0) args.insert(args.end(), {"-threads", std::to_string(settings.threads)});
    args.insert(args.end(), {"-f", matroska ? "matroska" : "mp4", encoder.tempFile});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    // A pipe of at least one frame lets drawing run ahead while ffmpeg takes the last one.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        setpgid(0, 0);
        signal(SIGINT, SIG_DFL);
        signal(SIGTERM, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        dup2(fds[0], STDIN_FILENO);
        execvp("ffmpeg", argv.data());
        std::fprintf(stderr, "demotorva: cannot run ffmpeg: %s\n", std::strerror(errno));
        _exit(127);
    }
    close(fds[0]);
    encoder.pid = pid;
    encoder.pipe = fds[1];
    return true;
}

bool writeVideoFrame(VideoEncoder& encoder, const unsigned char* pixels, size_t bytes)
{
    if (encoder.pipe < 0) return false;
    while (bytes > 0) {
        const ssize_t n = write(encoder.pipe, pixels, bytes);
        if (n < 0) {
            if (errno == EINTR && !interruptRequested()) continue;
            return false;  // EPIPE: ffmpeg is gone; EINTR: the user stops the recording
        }
        pixels += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

bool finishVideoEncoder(VideoEncoder& encoder, std::string& error)
{
    if (encoder.pipe >= 0) close(encoder.pipe);
    encoder.pipe = -1;
    const int status = encoder.pid > 0 ? waitForChild(encoder.pid) : -1;
    encoder.pid = -1;
    if (status != 0 || interruptRequested()) {
        removeQuietly(encoder.tempFile);
        error = interruptRequested() ? std::string("stopped by ") + interruptSignalName()
                                     : "ffmpeg failed (exit status " + std::to_string(status) + ")";
        return false;
    }
    std::error_code e;
    fs::rename(encoder.tempFile, encoder.file, e);
    if (e) {
        removeQuietly(encoder.tempFile);
        error = e.message();
        return false;
    }
    return true;
}

void abortVideoEncoder(VideoEncoder& encoder)
{
    if (encoder.pipe >= 0) close(encoder.pipe);
    encoder.pipe = -1;
    if (encoder.pid > 0) {
        kill(encoder.pid, SIGTERM);
        waitForChild(encoder.pid);
    }
    encoder.pid = -1;
    removeQuietly(encoder.tempFile);
}
