// The window procedure, the preview state machine and the pump, with synthetic messages and a
// recording audio stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>

#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/counter.h"
#include "shell/demo_clock.h"
#include "shell/gl_window.h"
#include "support/gl_context.h"

namespace {
std::vector<std::string> calls;
double lastSeconds = -1;
// The music as the fake output plays it: where it is and whether it runs.
bool musicRuns = true;
double musicAt = 0;

bool fakePause() { calls.push_back("pause"); musicRuns = false; return true; }
bool fakeStart() { calls.push_back("start"); musicRuns = true; return true; }
bool fakeSeconds(uint32_t, double s) { calls.push_back("seconds"); lastSeconds = s; musicAt = s; return true; }

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
        lastSeconds = -1;
        musicRuns = true;
        musicAt = 0;
        useVirtualCounter(70, 0);
        startClock();
        clearMessages();
    }
    void TearDown() override { audioApi = realAudioApi; }
    void down(uintptr_t key) { handleWindowMessage(nullptr, WM_KEYDOWN, key, 0); }
    void up(uintptr_t key) { handleWindowMessage(nullptr, WM_KEYUP, key, 0); }
    // Lets ticks of demo clock pass; running music plays on by as much.
    void pass(int64_t ticks)
    {
        advanceVirtualCounter(ticks);
        if (musicRuns) musicAt += static_cast<double>(ticks) / 70.0;
    }
};

// What the preview keys are meant to do, in demo time: Down pauses (the picture and the music
// stop), Up plays, Left and Right move the demo time by a step at every key-down while held
// (never below 0) with the music waiting, and releasing Left, Right or Up lets the music go on
// from the demo time unless the demo is paused.
struct PreviewModel {
    double demoTime = 0;
    bool paused = false;
    bool leftHeld = false, rightHeld = false;
    bool musicRuns = true;

    void keyDown(uintptr_t key)
    {
        if (key == VK_LEFT) leftHeld = true;
        if (key == VK_RIGHT) rightHeld = true;
        if (leftHeld) demoTime = std::max(0.0, demoTime - seekStepSeconds);
        if (rightHeld) demoTime += seekStepSeconds;
        if (leftHeld || rightHeld) musicRuns = false;
        if (key == VK_UP) paused = false;
        if (key == VK_DOWN) {
            paused = true;
            musicRuns = false;
        }
    }
    void keyUp(uintptr_t key)
    {
        if (key == VK_DOWN) return;
        if (key == VK_LEFT) leftHeld = false;
        if (key == VK_RIGHT) rightHeld = false;
        if (!paused) musicRuns = true;
    }
    void pass(double seconds)
    {
        if (!paused) demoTime += seconds;
    }
};
}  // namespace

TEST_F(WindowProc, EveryShortSequenceOfArrowKeysFollowsTheModel)
{
    struct Event {
        uintptr_t key;
        bool down;
        const char* name;
    };
    const Event events[] = {{VK_DOWN, true, "Down"}, {VK_DOWN, false, "Down-up"}, {VK_UP, true, "Up"},
                            {VK_UP, false, "Up-up"}, {VK_LEFT, true, "Left"}, {VK_LEFT, false, "Left-up"},
                            {VK_RIGHT, true, "Right"}, {VK_RIGHT, false, "Right-up"}};
    const int eventCount = 8;
    const int64_t gap = 21;  // 0.3 s between two events: two Left steps reach below 0
    int failures = 0;
    for (int length = 1; length <= 4; ++length) {
        int sequences = 1;
        for (int i = 0; i < length; ++i) sequences *= eventCount;
        for (int code = 0; code < sequences && failures < 5; ++code) {
            SetUp();
            PreviewModel model;
            pass(gap);
            model.pass(0.3);
            std::string seen;
            for (int i = 0, c = code; i < length; ++i, c /= eventCount) {
                const Event& e = events[c % eventCount];
                seen += std::string(" ") + e.name;
                if (e.down) {
                    down(e.key);
                    model.keyDown(e.key);
                } else {
                    up(e.key);
                    model.keyUp(e.key);
                }
                pass(gap);
                model.pass(0.3);
                float shown = demoTimeAt(readClock());
                bool same = std::abs(shown - model.demoTime) < 1e-4 && demoPaused() == model.paused &&
                            musicRuns == model.musicRuns && (!musicRuns || std::abs(musicAt - shown) < 1e-4);
                if (!same) {
                    ADD_FAILURE() << "after" << seen << ": demo time " << shown << " (meant " << model.demoTime
                                  << "), paused " << demoPaused() << " (" << model.paused << "), music "
                                  << (musicRuns ? "at " + std::to_string(musicAt) : std::string("waiting"))
                                  << " (" << (model.musicRuns ? "runs" : "waits") << ")";
                    ++failures;
                    break;
                }
            }
        }
    }
}

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

TEST_F(WindowProc, SeekFromPausedMovesTheStillPictureAndStaysPaused)
{
    setVirtualCounter(70 * 10);
    down(VK_DOWN);
    down(VK_RIGHT);
    down(VK_RIGHT);
    down(VK_LEFT);  // Right still held: both act
    EXPECT_EQ(demoState.savedPlayState, Paused);
    setVirtualCounter(70 * 12);
    EXPECT_FLOAT_EQ(demoTimeAt(readClock()), 10.0f + 2 * seekStepSeconds);
    up(VK_RIGHT);
    up(VK_LEFT);
    EXPECT_EQ(demoState.playState, Paused);
    EXPECT_EQ(lastSeconds, -1);
    setVirtualCounter(70 * 15);
    down(VK_UP);
    up(VK_UP);
    EXPECT_DOUBLE_EQ(lastSeconds, 10.0 + 2 * seekStepSeconds);
}

TEST_F(WindowProc, SoundOffLeavesMusicAlone)
{
    demoSettings.soundEnabled = false;
    down(VK_LEFT);
    up(VK_LEFT);
    down(VK_DOWN);
    EXPECT_TRUE(calls.empty());
}

TEST_F(WindowProc, KeysBecomeTheirWindowsVirtualKeyCodes)
{
    ASSERT_TRUE(openTestGlContext());
    setIgnoreEvents(false);
    const std::pair<SDL_Keycode, uintptr_t> keys[] = {
        {SDLK_a, 'A'},           {SDLK_7, '7'},        {SDLK_F12, 123},      {SDLK_LSHIFT, 16},
        {SDLK_RCTRL, 17},        {SDLK_LALT, 18},      {SDLK_KP_0, 96},      {SDLK_KP_9, 105},
        {SDLK_KP_MINUS, 109},    {SDLK_KP_ENTER, 13},  {SDLK_COMMA, 188},    {SDLK_SLASH, 191},
        {SDLK_LEFTBRACKET, 219}, {SDLK_QUOTE, 222},    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_DOWN, VK_DOWN},
    };
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (const auto& [sym, code] : keys) {
        SDL_Event event{};
        event.type = SDL_KEYUP;
        event.key.keysym.sym = sym;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    for (const auto& [sym, code] : keys) {
        Message message;
        ASSERT_TRUE(peekMessage(message)) << SDL_GetKeyName(sym);
        EXPECT_EQ(message.message, WM_KEYUP);
        EXPECT_EQ(message.wParam, code) << SDL_GetKeyName(sym);
    }
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
