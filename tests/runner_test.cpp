// The scene runner with recording scenes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/demo_state.h"
#include "platform/counter.h"
#include "platform/messages.h"
#include "shell/demo_clock.h"
#include "shell/scene_runner.h"

namespace {
std::vector<std::string> log;
int drawsLeft = 0;
std::vector<float> frameDts;

bool load() { return true; }
bool init() { log.push_back("init"); return true; }
void cleanup() { log.push_back("cleanup"); }
bool drawUntilCount(float t)
{
    log.push_back(demoState.active ? "draw" : "draw while minimised");
    frameDts.push_back(t - demoState.previousFrameTime);
    demoState.previousFrameTime = t;
    if (--drawsLeft <= 0) demoState.sceneDone = true;
    advanceVirtualCounter(7);  // a tenth of a second per frame
    return true;
}
bool drawFalse(float) { log.push_back("draw"); return false; }
const Scene recording = {"recording", load, init, drawUntilCount, cleanup};
const Scene failing = {"failing", load, init, drawFalse, cleanup};

class Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        demoState = DemoState{};
        log.clear();
        frameDts.clear();
        clearMessages();
        setIgnoreEvents(true);
        useVirtualCounter(70, 0);
        startClock();
    }
};
}  // namespace

TEST_F(Runner, QuitMeansInitAndCleanupOnly)
{
    demoState.quitRequested = true;
    drawsLeft = 5;
    EXPECT_TRUE(runScene(recording));
    EXPECT_EQ(log, (std::vector<std::string>{"init", "cleanup"}));
    EXPECT_TRUE(demoState.quitRequested);
}

TEST_F(Runner, SceneEndingInFirstFrameIsDrawnOnceAndFlagCleared)
{
    drawsLeft = 1;
    runScene(recording);
    EXPECT_EQ(log, (std::vector<std::string>{"init", "draw", "cleanup"}));
    EXPECT_FALSE(demoState.sceneDone);
}

namespace {
int swaps = 0;
// Minimises the window after the first frame and restores it three swaps later.
void minimiseForThreeSwaps()
{
    ++swaps;
    if (swaps == 1) postMessage({WM_ACTIVATE, uintptr_t{1} << 16, 0});
    if (swaps == 4) postMessage({WM_ACTIVATE, 0, 0});
}
}  // namespace

TEST_F(Runner, MessagesComeFirstAndInactiveDrawsNothing)
{
    drawsLeft = 2;
    postMessage({WM_ACTIVATE, uintptr_t{1} << 16, 0});
    postMessage({WM_KEYDOWN, 'T', 0});
    postMessage({WM_ACTIVATE, 0, 0});
    swaps = 0;
    frameHook = minimiseForThreeSwaps;
    runScene(recording);
    frameHook = nullptr;
    EXPECT_TRUE(demoState.showTime);
    EXPECT_EQ(log, (std::vector<std::string>{"init", "draw", "draw", "cleanup"}));
    EXPECT_EQ(swaps, 5);  // the loop goes on swapping while minimised
}

TEST_F(Runner, EscapeStopsAndDrawFalseQuits)
{
    drawsLeft = 100;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    runScene(recording);
    EXPECT_EQ(log, (std::vector<std::string>{"init", "cleanup"}));
    demoState = DemoState{};
    log.clear();
    runScene(failing);
    EXPECT_EQ(log, (std::vector<std::string>{"init", "draw", "cleanup"}));
    EXPECT_TRUE(demoState.quitRequested);
}

TEST_F(Runner, PreviousFrameTimeCarriesFromSceneToScene)
{
    drawsLeft = 3;
    runScene(recording);
    advanceVirtualCounter(70);  // a second between the scenes
    drawsLeft = 1;
    runScene(recording);
    ASSERT_EQ(frameDts.size(), 4u);
    EXPECT_NEAR(frameDts[3], 1.1f, 1e-4f);
}
