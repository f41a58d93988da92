// Frame ring and writer thread of offline rendering.
#include "capture/frame_writer.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "capture/frame_yuv.h"
#include "capture/video_encoder.h"
#include "platform/png_file.h"

namespace fs = std::filesystem;

namespace {
// Three buffers: one being read into, one being written out, one spare for the jitter
// between the two.
constexpr int ringSize = 3;

struct QueuedFrame {
    int buffer;
    int64_t number;
    double seconds;
};

struct FrameWriter {
    FrameWriterSettings settings;
    std::vector<std::vector<unsigned char>> buffers;
    std::deque<int> freeBuffers;
    std::deque<QueuedFrame> queue;
    int current = -1;  // buffer handed out by frameWriterBuffer
    std::mutex lock;
    std::condition_variable changed;
    bool stopping = false;
    bool discard = false;
    bool failed = false;
    std::atomic<int64_t> filesWritten{0};  // PNG files written whole since the start
    std::thread thread;
    std::vector<unsigned char> small, rgb, yuv;  // the writer thread's own
};

FrameWriter writer;

bool writeOne(const QueuedFrame& frame)
{
    const FrameWriterSettings& s = writer.settings;
    const unsigned char* pixels = writer.buffers[frame.buffer].data();
    if (s.scale > 1) {
        writer.small.resize(static_cast<size_t>(s.width) * s.height * 4);
        shrinkFrame(pixels, s.width, s.height, s.scale, writer.small.data());
        pixels = writer.small.data();
    }
    if (!s.framesDir.empty()) {
        uprightRgb(pixels, s.width, s.height, writer.rgb);
        const std::string path = (fs::path(s.framesDir) / frameFileName(frame.number, frame.seconds)).string();
        if (!writePngRgb(path.c_str(), s.width, s.height, writer.rgb.data())) {
            const int reason = errno;
            std::fprintf(stderr, "demotorva: cannot write %s: %s\n", path.c_str(), std::strerror(reason));
            // A partial file would pass for a frame; the whole frames before it stay.
            std::error_code e;
            fs::remove(path, e);
            return false;
        }
        writer.filesWritten += 1;
    }
    if (s.video) bgraToI420(pixels, s.width, s.height, writer.yuv);
    if (s.video && !writeVideoFrame(*s.video, writer.yuv.data(), writer.yuv.size())) {
        if (!interruptRequested()) std::fprintf(stderr, "demotorva: ffmpeg stopped taking frames\n");
        return false;
    }
    return true;
}

void writerLoop()
{
    std::unique_lock<std::mutex> guard(writer.lock);
    for (;;) {
        writer.changed.wait(guard, [] { return writer.stopping || !writer.queue.empty(); });
        if (writer.queue.empty()) return;
        const QueuedFrame frame = writer.queue.front();
        writer.queue.pop_front();
        const bool skip = writer.failed || writer.discard;
        guard.unlock();
        const bool ok = skip || writeOne(frame);
        guard.lock();
        if (!ok) writer.failed = true;
        writer.freeBuffers.push_back(frame.buffer);
        writer.changed.notify_all();
    }
}
}  // namespace

bool startFrameWriter(const FrameWriterSettings& settings)
{
    writer.settings = settings;
    writer.buffers.assign(ringSize, {});
    writer.freeBuffers.clear();
    writer.queue.clear();
    const size_t bytes = static_cast<size_t>(settings.width) * settings.scale * settings.height * settings.scale * 4;
    for (int i = 0; i < ringSize; ++i) {
        writer.buffers[i].resize(bytes);
        writer.freeBuffers.push_back(i);
    }
    writer.current = -1;
    writer.stopping = writer.discard = writer.failed = false;
    writer.filesWritten = 0;
    writer.thread = std::thread(writerLoop);
    return true;
}

unsigned char* frameWriterBuffer()
{
    std::unique_lock<std::mutex> guard(writer.lock);
    if (writer.current < 0) {
        writer.changed.wait(guard, [] { return !writer.freeBuffers.empty(); });
        writer.current = writer.freeBuffers.front();
        writer.freeBuffers.pop_front();
    }
    return writer.buffers[writer.current].data();
}

void submitFrame(int64_t number, double seconds)
{
    std::lock_guard<std::mutex> guard(writer.lock);
    if (writer.current < 0) return;
    writer.queue.push_back({writer.current, number, seconds});
    writer.current = -1;
    writer.changed.notify_all();
}

bool frameWriterFailed()
{
    std::lock_guard<std::mutex> guard(writer.lock);
    return writer.failed;
}

bool stopFrameWriter(bool discard)
{
    if (!writer.thread.joinable()) return !writer.failed;
    {
        std::lock_guard<std::mutex> guard(writer.lock);
        writer.stopping = true;
        writer.discard = discard;
        writer.changed.notify_all();
    }
    writer.thread.join();
    writer.buffers.clear();
    return !writer.failed;
}

int64_t frameFilesWritten() { return writer.filesWritten; }

std::string frameFileName(int64_t number, double seconds)
{
    char name[64];
    std::snprintf(name, sizeof name, "frame-%06lld-%011.6f.png", static_cast<long long>(number), seconds);
    return name;
}

void shrinkFrame(const unsigned char* source, int width, int height, int scale, unsigned char* target)
{
    const size_t sourceRow = static_cast<size_t>(width) * scale * 4;
    const unsigned area = static_cast<unsigned>(scale * scale);
    for (int y = 0; y < height; ++y) {
        const unsigned char* top = source + static_cast<size_t>(y) * scale * sourceRow;
        unsigned char* out = target + static_cast<size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            unsigned sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < scale; ++dy) {
                const unsigned char* p = top + dy * sourceRow + static_cast<size_t>(x) * scale * 4;
                for (int dx = 0; dx < scale * 4; dx += 4) {
                    sum[0] += p[dx];
                    sum[1] += p[dx + 1];
                    sum[2] += p[dx + 2];
                    sum[3] += p[dx + 3];
                }
            }
            for (int c = 0; c < 4; ++c) out[x * 4 + c] = static_cast<unsigned char>((sum[c] + area / 2) / area);
        }
    }
}

void uprightRgb(const unsigned char* source, int width, int height, std::vector<unsigned char>& rgb)
{
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* in = source + static_cast<size_t>(height - 1 - y) * width * 4;
        unsigned char* out = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out[x * 3] = in[x * 4 + 2];
            out[x * 3 + 1] = in[x * 4 + 1];
            out[x * 3 + 2] = in[x * 4];
        }
    }
}
