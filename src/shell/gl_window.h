// The demo's one window and its OpenGL context, the window procedure and the message pump.
//
// The window procedure turns messages into the run-time flags of DemoState: quit, skip scene,
// overlay toggles and the hidden preview controls (pause, resume, seek) that also move the music.
//
// The window either shows the frame buffer as it is (a display mode or window of the frame's size), or,
// full screen at the desktop's resolution and in a resizable window, shows a scaled frame: the
// scenes draw into an offscreen frame of the demo's size and each swap scales it to the window
// (shell/frame_scaler). A resize then changes only that scaling, never the scenes' viewport.
#pragma once

#include <cstdint>

#include "core/demo_options.h"
#include "platform/messages.h"

struct GlWindow {
    bool instance = false;       // video subsystem up (the window class is registered)
    bool window = false;         // the window exists
    bool renderContext = false;  // the GL context exists
    Message message;             // last message taken by pumpMessage; wParam is the exit code
    bool scaledFrame = false;    // frames go to the offscreen frame, scaled onto the window at each swap
    bool desktop = false;        // full screen at the desktop's resolution (no mode change)
    int clientWidth = 0;         // client size of the last WM_SIZE while scaled: the output size
    int clientHeight = 0;        //   where no window reports its drawable's
};

extern GlWindow glWindow;

// Seconds that one Left or Right key-down moves the demo time.
constexpr float seekStepSeconds = 0.5f;

// The preview keys' pause: Down pauses, Up plays, Left and Right seek (also through a pause,
// which then moves the still picture and stays paused). Demo time never goes below 0.
//     float t = demoTimeAt(readClock());   // what the scenes draw
bool demoPaused();
// Demo time for a clock reading: the paused picture's time while paused, else the reading
// plus timeOffset.
float demoTimeAt(float clockReading);
// Moves the demo time by seconds (a seek key, or a start time), stopping at 0.
void seekDemoTime(float seconds);
// Sets the music to the demo time of this moment and restarts output.
void resumeMusicAtDemoTime();

bool openGlWindow(const char* title, int width, int height, int colourBits, bool fullscreen);
// Opens the window for a scaled frame of width x height: full screen at the desktop's
// resolution when desktop is set, else a resizable window that opens at width x height. Failures
// are reported as openGlWindow reports them. Where the driver cannot make the offscreen frame it
// says so on standard error and opens as openGlWindow does instead: the display-mode switch
// (with its question) for desktop, a fixed window otherwise.
// With fitDisplay the frame is instead the largest 4:3 size the window's drawable holds
// (largestFrameOnDisplay), and demoSettings' width and height become that size.
bool openScaledGlWindow(const char* title, int width, int height, int colourBits, bool desktop,
                        bool fitDisplay = false);
// Sets demoSettings' frame size from the options: --size or 800 x 600, times --supersample
// for offline rendering (frames are drawn that much larger and filtered down when written).
void chooseFrameSize(const DemoOptions& options);
struct FrameSize {
    int width = 0, height = 0;
};
// The largest 4:3 frame inside a display of the given pixels, within --size's range
// (1440 x 1080 on a 1920 x 1080 screen).
FrameSize largestFrameOnDisplay(int displayWidth, int displayHeight);
// Sends every later frame of the current context to an offscreen width x height frame that each
// swap shows scaled. False, and nothing changed, when the driver cannot make it.
bool useScaledFrame(int width, int height);
void closeGlWindow();
void resizeView(int width, int height);
bool initGlState();
intptr_t handleWindowMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// 0: queue empty; 2: WM_QUIT taken (quit requested); 1: a message was handled.
int pumpMessage();
// Shows the frame: with a scaled frame, scales it onto the window's back buffer first and
// binds the offscreen frame again after the swap.
void swapGlBuffers();
