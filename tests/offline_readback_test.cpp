// Offline rendering's frames: read back from the front buffer after their swap, every frame
// drawn at its exact time, and a frame drawn larger (--size, --supersample) showing the same
// picture as the 800 x 600 frame, only sharper.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/frame_writer.h"
#include "capture/frame_yuv.h"
#include "capture/offline_render.h"
#include "core/demo_options.h"
#include "core/demo_state.h"
#include "shell/demo_clock.h"
#include "shell/scene_runner.h"
#include "support/gl_context.h"
#include "support/late_scene_frames.h"

namespace fs = std::filesystem;

TEST(OfflineReadback, FrontBufferAfterSwapHoldsTheFrame)
{
    ASSERT_TRUE(openTestGlContext());
    for (float red : {1.0f, 0.0f}) {
        glClearColor(red, 0.5f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(SDL_GL_GetCurrentWindow());
        unsigned char pixel[4] = {};
        glReadBuffer(GL_FRONT);
        glReadPixels(10, 10, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, pixel);
        glReadBuffer(GL_BACK);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(pixel[2], red > 0 ? 255 : 0);
        EXPECT_NEAR(pixel[1], 128, 1);
        EXPECT_EQ(pixel[0], 0);
    }
}

namespace {
std::vector<float> drawnTimes;
constexpr size_t framesToWatch = 500;

bool recordTime(float t)
{
    drawnTimes.push_back(t);
    if (drawnTimes.size() == framesToWatch) demoState.sceneDone = true;
    return true;
}
bool nothing() { return true; }
void noCleanup() {}
const Scene watcher = {"watcher", nothing, nothing, recordTime, noCleanup};

TEST(OfflineFrames, FrameKIsDrawnAtExactlyKOverTheFrameRate)
{
    ASSERT_TRUE(openTestGlContext());
    for (int fps : {60, 24, 240}) {
        SCOPED_TRACE(fps);
        DemoOptions options;
        options.fps = fps;
        demoState = DemoState{};
        drawnTimes.clear();
        ASSERT_TRUE(beginOfflineRender(options));
        startClock();
        runScene(watcher);
        EXPECT_TRUE(finishOfflineRender());
        ASSERT_EQ(drawnTimes.size(), framesToWatch);
        for (size_t k = 0; k < drawnTimes.size(); ++k)
            ASSERT_EQ(drawnTimes[k], static_cast<float>(static_cast<double>(k) / fps)) << "frame " << k;
    }
    EXPECT_EQ(frameFileName(1, 1.0 / 60), "frame-000001-0000.016667.png");
    EXPECT_EQ(frameFileName(11279, 11279.0 / 60), "frame-011279-0187.983333.png");
}

// The frame drawn at time t by the executable with the given size options.
FramePicture renderFrame(const std::string& dir, double t, const std::string& sizeOptions)
{
    std::error_code e;
    fs::remove_all(dir, e);
    char command[4096];
    std::snprintf(command, sizeof command, "\"%s\" --data \"%s\" --frames \"%s\" --fps 1 --from %.1f --to %.1f %s -q",
                  DEMOTORVA_EXECUTABLE, testPackDir().c_str(), dir.c_str(), t, t, sizeOptions.c_str());
    FramePicture picture;
    EXPECT_EQ(std::system(command), 0) << command;
    for (const auto& entry : fs::directory_iterator(dir, e)) readFramePicture(entry.path().string(), picture);
    return picture;
}

FramePicture halved(const FramePicture& big)
{
    FramePicture small;
    small.width = big.width / 2;
    small.height = big.height / 2;
    small.rgb.resize(static_cast<size_t>(small.width) * small.height * 3);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) sum += big.rgb[((2 * y + dy) * big.width + 2 * x + dx) * 3 + c];
                small.rgb[(y * small.width + x) * 3 + c] = static_cast<unsigned char>((sum + 2) / 4);
            }
    return small;
}

// Twice the size, each new pixel weighted 3 : 1 between its two nearest (linear filtering, as a
// scaled frame is shown).
FramePicture doubled(const FramePicture& small)
{
    FramePicture big;
    big.width = small.width * 2;
    big.height = small.height * 2;
    big.rgb.resize(static_cast<size_t>(big.width) * big.height * 3);
    auto at = [&](int x, int y, int c) {
        x = std::clamp(x, 0, small.width - 1);
        y = std::clamp(y, 0, small.height - 1);
        return double(small.rgb[(y * small.width + x) * 3 + c]);
    };
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) {
            const int sx = x / 2, sy = y / 2, nx = x % 2 ? sx + 1 : sx - 1, ny = y % 2 ? sy + 1 : sy - 1;
            for (int c = 0; c < 3; ++c) {
                const double v = 0.5625 * at(sx, sy, c) + 0.1875 * (at(nx, sy, c) + at(sx, ny, c)) + 0.0625 * at(nx, ny, c);
                big.rgb[(y * big.width + x) * 3 + c] = static_cast<unsigned char>(v + 0.5);
            }
        }
    return big;
}

// Mean squared difference of horizontal neighbours: a hard edge gives it in full, the same edge
// scaled up smoothly only half.
double edgeEnergy(const FramePicture& p)
{
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x + 1 < p.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = p.rgb[(y * p.width + x + 1) * 3 + c] - p.rgb[(y * p.width + x) * 3 + c];
                sum += d * d;
            }
    return sum / (static_cast<double>(p.height) * p.width * 3);
}

TEST(OfflineFrames, LargerFramesShowTheSamePictureSharper)
{
    const std::string root = (fs::temp_directory_path() / ("offline-readback-" + std::to_string(getpid()))).string();
    fs::create_directories(root);
    // At one frame a second (the scenes integrate their motion over any step alike). The
    // intro's wall carries the landscape pass copied into a texture; the end scene draws a
    // wireframe wall and outlined text.
    for (double t : {20.0, 160.0}) {
        SCOPED_TRACE(t);
        const FramePicture normal = renderFrame(root + "/a", t, "");
        const FramePicture large = renderFrame(root + "/b", t, "--size 1600x1200");
        const FramePicture supersampled = renderFrame(root + "/c", t, "--supersample 2");
        ASSERT_EQ(normal.width, 800);
        ASSERT_EQ(large.width, 1600);
        ASSERT_EQ(large.height, 1200);
        ASSERT_EQ(supersampled.width, 800);
        const FramePicture shrunk = halved(large);
        const double difference = meanDifference(shrunk, normal);
        const double sharp = edgeEnergy(large), scaled = edgeEnergy(doubled(normal));
        std::printf("t %.0f: 1600 x 1200 halved differs from 800 x 600 by %.2f; edge energy %.1f, 800 x 600 "
                    "scaled up %.1f\n", t, difference, sharp, scaled);
        EXPECT_LT(difference, 1.5);
        EXPECT_GT(sharp, 1.3 * scaled);
        // Supersampling is that frame filtered down.
        EXPECT_LT(meanDifference(supersampled, shrunk), 0.05);
    }
    std::error_code e;
    fs::remove_all(root, e);
}
}  // namespace

TEST(OfflineFrames, VideoFramesGoUprightInVideoRangeColours)
{
    // Two 2 x 2 blocks, read back bottom row first: red under blue on the left, white under
    // black on the right (BGRA bytes).
    const unsigned char red[4] = {0, 0, 255, 255}, blue[4] = {255, 0, 0, 255};
    const unsigned char white[4] = {255, 255, 255, 255}, black[4] = {0, 0, 0, 255};
    std::vector<unsigned char> bgra;
    for (const unsigned char* p : {red, red, white, white, blue, blue, black, black})
        bgra.insert(bgra.end(), p, p + 4);
    std::vector<unsigned char> yuv;
    bgraToI420(bgra.data(), 4, 2, yuv);
    ASSERT_EQ(yuv.size(), 12u);
    // Luma, top row first: blue 41 and black 16, then red 82 and white 235.
    EXPECT_EQ(std::vector<int>(yuv.begin(), yuv.begin() + 8), (std::vector<int>{41, 41, 16, 16, 82, 82, 235, 235}));
    // Chroma of each block's mean: red and blue half each; grey.
    EXPECT_EQ(yuv[8], 165);
    EXPECT_EQ(yuv[9], 128);
    EXPECT_EQ(yuv[10], 175);
    EXPECT_EQ(yuv[11], 128);
}
