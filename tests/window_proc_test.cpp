// The window procedure, the preview state machine and the pump, with synthetic messages and a
// recording audio stand-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <GL/gl.h>

#include "platform/audio.h"
#include "platform/counter.h"
#include "shell/demo_clock.h"
#include "shell/demo_state.h"
#include "shell/gl_window.h"
#include "support/gl_context.h"

namespace {
std::vector<std::string> calls;
double lastSeconds = -1;

bool fakePause() { calls.push_back("pause"); return true; }
bool fakeStart() { calls.push_back("start"); return true; }
bool fakeSeconds(uint32_t, double s) { calls.push_back("seconds"); lastSeconds = s; return true; }

class WindowProc : public ::testing::Test {
protected:
    void SetUp() override
    {
        demoState = DemoState{};
        demoSettings = DemoSettings{};
        demoClock = DemoClock{};
        audioApi = realAudioApi;
        audioApi.pause = fakePause;
        audioApi.start = fakeStart;
        audioApi.setPositionSeconds = fakeSeconds;
        calls.clear();
        useVirtualCounter(70, 0);
        startClock();
        clearMessages();
    }
    void TearDown() override { audioApi = realAudioApi; }
    void down(uintptr_t key) { handleWindowMessage(nullptr, WM_KEYDOWN, key, 0); }
    void up(uintptr_t key) { handleWindowMessage(nullptr, WM_KEYUP, key, 0); }
};
}  // namespace

TEST_F(WindowProc, SimpleKeysAndWindowMessages)
{
    down(VK_SPACE);
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_FALSE(demoState.keys[VK_SPACE]);
    down('T');
    down('T');
    EXPECT_FALSE(demoState.showTime);
    down('F');
    EXPECT_TRUE(demoState.showFps);
    down(VK_ESCAPE);
    EXPECT_TRUE(demoState.quitRequested);
    EXPECT_TRUE(demoState.keys[VK_ESCAPE]);
    up(VK_ESCAPE);
    EXPECT_FALSE(demoState.keys[VK_ESCAPE]);
    handleWindowMessage(nullptr, WM_ACTIVATE, uintptr_t{1} << 16, 0);
    EXPECT_FALSE(demoState.active);
    handleWindowMessage(nullptr, WM_ACTIVATE, 1, 0);  // activation kind only: not minimised
    EXPECT_TRUE(demoState.active);
}

TEST_F(WindowProc, CloseQueuesQuitAndPumpReportsThreeResults)
{
    EXPECT_EQ(pumpMessage(), 0);
    postMessage({WM_CLOSE, 0, 0});
    EXPECT_EQ(pumpMessage(), 1);
    EXPECT_TRUE(demoState.quitRequested);
    demoState.quitRequested = false;
    EXPECT_EQ(pumpMessage(), 2);
    EXPECT_EQ(glWindow.message.message, WM_QUIT);
    EXPECT_EQ(glWindow.message.wParam, 0u);
    EXPECT_TRUE(demoState.quitRequested);
    EXPECT_EQ(pumpMessage(), 0);
    postQuitMessage(5);
    EXPECT_EQ(pumpMessage(), 2);
    EXPECT_EQ(glWindow.message.wParam, 5u);
}

TEST_F(WindowProc, SeekWhilePlayingAndReleaseSetsMusicToDemoTime)
{
    setVirtualCounter(70 * 20);  // 20 s
    down(VK_RIGHT);
    EXPECT_EQ(demoState.playState, FastForward);
    EXPECT_EQ(demoState.savedPlayState, Playing);
    EXPECT_FLOAT_EQ(demoState.timeOffset, seekStepSeconds);
    down(VK_RIGHT);  // auto-repeat: no second pause
    down(VK_LEFT);   // Right still held: both act
    EXPECT_EQ(demoState.playState, FastForward);
    EXPECT_FLOAT_EQ(demoState.timeOffset, 2 * seekStepSeconds);
    EXPECT_EQ(calls, (std::vector<std::string>{"pause"}));
    up(VK_LEFT);
    EXPECT_EQ(demoState.playState, Playing);
    EXPECT_DOUBLE_EQ(lastSeconds, 20.0 + 2 * seekStepSeconds);
    EXPECT_EQ(calls, (std::vector<std::string>{"pause", "seconds", "start"}));
}

TEST_F(WindowProc, PauseResumeTakesThePausedSpanOut)
{
    setVirtualCounter(70 * 10);
    down(VK_DOWN);
    EXPECT_EQ(demoState.playState, Paused);
    EXPECT_FLOAT_EQ(demoState.pauseTime, 10.0f);
    setVirtualCounter(70 * 13);
    down(VK_DOWN);  // already paused: pause time kept
    EXPECT_FLOAT_EQ(demoState.pauseTime, 10.0f);
    down(VK_UP);
    EXPECT_EQ(demoState.playState, Playing);
    EXPECT_FLOAT_EQ(demoState.timeOffset, -3.0f);
    up(VK_UP);
    EXPECT_DOUBLE_EQ(lastSeconds, 10.0);
}

TEST_F(WindowProc, SeekFromPausedReturnsToPausedAndLeavesMusic)
{
    down(VK_DOWN);
    down(VK_RIGHT);
    EXPECT_FLOAT_EQ(demoState.timeOffset, 0.0f);  // no step while paused
    EXPECT_EQ(demoState.savedPlayState, Paused);
    down(VK_LEFT);
    EXPECT_FLOAT_EQ(demoState.timeOffset, -seekStepSeconds);
    up(VK_RIGHT);
    EXPECT_EQ(demoState.playState, Paused);
    EXPECT_EQ(lastSeconds, -1);
}

TEST_F(WindowProc, SoundOffLeavesMusicAlone)
{
    demoSettings.soundEnabled = false;
    down(VK_LEFT);
    up(VK_LEFT);
    down(VK_DOWN);
    EXPECT_TRUE(calls.empty());
}

TEST_F(WindowProc, SizeOfZeroHeightSetsViewportOfOne)
{
    ASSERT_TRUE(openTestGlContext());
    handleWindowMessage(nullptr, WM_SIZE, 0, (0 << 16) | 640);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 640.0f, 0.01f);
}
