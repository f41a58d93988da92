// Window, context, window procedure and pump of the demo.
#include "shell/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "render/draw_helpers.h"
#include "shell/demo_clock.h"
#include "shell/frame_scaler.h"

GlWindow glWindow;

namespace {
// The step's own text, and on the next line SDL's reason where it gave one ("EGL not
// initialized", a missing library): without it a failure on a machine that lacks a driver
// says nothing a user can act on. The reason is taken before the tear-down can replace it.
void creationFailed(const char* text)
{
    std::string shown = text;
    const char* reason = displayLastError();
    if (reason && *reason) shown += std::string("\n") + reason;
    closeGlWindow();
    showMessageBox(shown.c_str(), "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

void shutdownError(const char* text) { showMessageBox(text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION); }

// The steps after the window exists: its device and rendering contexts, made current. Each
// failure is reported with its own text and tears down what was made.
bool createCurrentContext()
{
    glWindow.window = true;
    if (!displayCreateContext()) {
        creationFailed("Can't Create A GL Rendering Context.");
        return false;
    }
    glWindow.renderContext = true;
    if (!displayMakeCurrent()) {
        creationFailed("Can't Activate The GL Rendering Context.");
        return false;
    }
    return true;
}
// Starts a seek with Left or Right: the music waits while the picture moves, and the state to
// return to on release is kept (a pause stays a pause).
void beginSeek(PlayState seekState)
{
    if (demoState.playState != Rewind && demoState.playState != FastForward) {
        if (demoSettings.soundEnabled) audioApi.pause();
        demoState.savedPlayState = demoState.playState;
    }
    demoState.playState = seekState;
}
}  // namespace

bool demoPaused()
{
    bool seeking = demoState.playState == Rewind || demoState.playState == FastForward;
    return demoState.playState == Paused || (seeking && demoState.savedPlayState == Paused);
}

float demoTimeAt(float clockReading)
{
    return (demoPaused() ? demoState.pauseTime : clockReading) + demoState.timeOffset;
}

void seekDemoTime(float seconds)
{
    // The time the offset is added to: the paused picture's, or the running clock's. The demo
    // time never goes below 0, where the music has nothing to play.
    float base = demoPaused() ? demoState.pauseTime : readClock();
    float offset = demoState.timeOffset + seconds;
    demoState.timeOffset = base + offset < 0.0f ? -base : offset;
}

void resumeMusicAtDemoTime()
{
    audioApi.setPositionSeconds(demoState.musicHandle, demoTimeAt(readClock()));
    audioApi.start();
}

bool openGlWindow(const char* title, int width, int height, int colourBits, bool fullscreen)
{
    demoSettings.fullscreen = fullscreen;
    // displayInit has said why on standard error (no display, and what to do); a box would
    // have no screen to appear on, and the class-registration text would only hide the cause.
    if (!displayInit()) return false;
    glWindow.instance = true;
    if (demoSettings.fullscreen && !displayChangeMode(width, height, colourBits)) {
        int answer = showMessageBox(
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
            "DemoTORVA", MB_YESNO | MB_ICONEXCLAMATION);
        if (answer == IDUNASKED) {
            // Nobody could be asked: refusing on their behalf would end a demo that can play.
            std::fprintf(stderr, "demotorva: the display offers no %d x %d mode and the question could not "
                                 "be asked; playing in a window\n", width, height);
            demoSettings.fullscreen = false;
        } else if (answer == IDYES) {
            demoSettings.fullscreen = false;
        } else {
            showMessageBox("Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
            return false;
        }
    }
    if (demoSettings.fullscreen) displayShowCursor(false);
    displaySetPixelFormat(colourBits, 16);
    if (!displayCreateWindow(title, width, height, demoSettings.fullscreen)) {
        creationFailed("Window Creation Error.");
        return false;
    }
    if (!createCurrentContext()) return false;
    displaySetSwapInterval(displayIsOffscreen() ? 0 : 1);
    displayShowWindow();
    resizeView(width, height);
    if (!initGlState()) {
        creationFailed("Initialization Failed.");
        return false;
    }
    return true;
}

bool useScaledFrame(int width, int height)
{
    if (!createFrameScaler(width, height)) return false;
    glWindow.scaledFrame = true;
    glWindow.clientWidth = width;
    glWindow.clientHeight = height;
    return true;
}

void chooseFrameSize(const DemoOptions& options)
{
    int width = frameSizeGiven(options) ? options.width : 800;
    int height = frameSizeGiven(options) ? options.height : 600;
    if (offlineRequested(options)) {
        width *= options.supersample;
        height *= options.supersample;
    }
    demoSettings.width = width;
    demoSettings.height = height;
}

FrameSize largestFrameOnDisplay(int displayWidth, int displayHeight)
{
    FrameRect rect = fitFrame(4, 3, std::min(displayWidth, maxFrameWidth), std::min(displayHeight, maxFrameHeight));
    if (rect.width < minFrameWidth || rect.height < minFrameHeight) return {minFrameWidth, minFrameHeight};
    return {rect.width, rect.height};
}

bool openScaledGlWindow(const char* title, int width, int height, int colourBits, bool desktop, bool fitDisplay)
{
    demoSettings.fullscreen = false;
    // displayInit has said why on standard error (no display, and what to do); a box would
    // have no screen to appear on, and the class-registration text would only hide the cause.
    if (!displayInit()) return false;
    glWindow.instance = true;
    displaySetPixelFormat(colourBits, 16);
    if (!displayCreateScaledWindow(title, width, height, desktop)) {
        creationFailed("Window Creation Error.");
        return false;
    }
    if (!createCurrentContext()) return false;
    const int fallbackWidth = width, fallbackHeight = height;
    int drawableWidth = 0, drawableHeight = 0;
    if (fitDisplay && displayDrawableSize(drawableWidth, drawableHeight) && drawableWidth > 0 && drawableHeight > 0) {
        const FrameSize size = largestFrameOnDisplay(drawableWidth, drawableHeight);
        width = size.width;
        height = size.height;
    }
    demoSettings.width = width;
    demoSettings.height = height;
    if (!useScaledFrame(width, height)) {
        // The window was never shown, so the plain window or mode switch takes its place
        // without anything appearing on screen first.
        std::fprintf(stderr, "demotorva: this OpenGL driver cannot draw the frame offscreen to scale it; %s %d x %d %s\n",
                     desktop ? "switching the display to" : "playing in a fixed", fallbackWidth, fallbackHeight,
                     desktop ? "instead" : "window instead");
        closeGlWindow();
        demoSettings.width = fallbackWidth;
        demoSettings.height = fallbackHeight;
        return openGlWindow(title, fallbackWidth, fallbackHeight, colourBits, desktop);
    }
    glWindow.desktop = desktop;
    if (desktop) displayShowCursor(false);
    displaySetSwapInterval(displayIsOffscreen() ? 0 : 1);
    displayShowWindow();
    resizeView(width, height);
    if (!initGlState()) {
        creationFailed("Initialization Failed.");
        return false;
    }
    return true;
}

void closeGlWindow()
{
    if (demoSettings.fullscreen || glWindow.desktop) {
        displayRestoreMode();
        displayShowCursor(true);
        glWindow.desktop = false;
    }
    if (glWindow.scaledFrame) {
        destroyFrameScaler();
        glWindow.scaledFrame = false;
    }
    if (glWindow.renderContext) {
        if (!displayReleaseCurrent()) shutdownError("Release Of DC And RC Failed.");
        if (!displayDeleteContext()) shutdownError("Release Rendering Context Failed.");
        glWindow.renderContext = false;
    }
    if (glWindow.window) {
        if (!displayDestroyWindow()) shutdownError("Could Not Release hWnd.");
        glWindow.window = false;
    }
    if (glWindow.instance) {
        displayQuit();
        glWindow.instance = false;
    }
}

void resizeView(int width, int height)
{
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool initGlState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Lines (wireframes, outlines) are one pixel thick at 600 lines and keep that share of the
    // frame at any size; the scenes never set a width of their own.
    glLineWidth(frameLineWidth(demoSettings.height));
    return true;
}

intptr_t handleWindowMessage(void*, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    bool* keys = demoState.keys;
    switch (message) {
    case WM_ACTIVATE:
        demoState.active = ((wParam >> 16) & 0xFFFF) == 0;
        return 0;
    case WM_CLOSE:
        postQuitMessage(0);
        demoState.quitRequested = true;
        return 0;
    case WM_KEYDOWN: {
        if (wParam < 256) keys[wParam] = true;
        if (keys[VK_ESCAPE]) demoState.quitRequested = true;
        if (keys[VK_SPACE]) {
            demoState.sceneDone = true;
            keys[VK_SPACE] = false;
        }
        if (keys['T']) {
            demoState.showTime = !demoState.showTime;
            keys['T'] = false;
        }
        if (keys['F']) {
            demoState.showFps = !demoState.showFps;
            keys['F'] = false;
        }
        if (keys[VK_LEFT]) {
            beginSeek(Rewind);
            seekDemoTime(-seekStepSeconds);
        }
        if (keys[VK_RIGHT]) {
            beginSeek(FastForward);
            seekDemoTime(seekStepSeconds);
        }
        // Up always plays: a pause, also one seeked through, ends here, and its span is taken
        // out of the demo time once, since the pause time is taken again at the next Down.
        if (keys[VK_UP]) {
            if (demoPaused()) demoState.timeOffset += demoState.pauseTime - readClock();
            demoState.playState = Playing;
            demoState.savedPlayState = Playing;
            keys[VK_UP] = false;
        }
        // Down always pauses, also in the middle of a seek, which then ends paused.
        if (keys[VK_DOWN]) {
            if (demoSettings.soundEnabled) audioApi.pause();
            if (!demoPaused()) demoState.pauseTime = readClock();
            demoState.playState = Paused;
            demoState.savedPlayState = Paused;
            keys[VK_DOWN] = false;
        }
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_RIGHT || wParam == VK_LEFT || wParam == VK_UP) {
            demoState.playState = demoState.savedPlayState;
            if (demoState.playState == Playing && demoSettings.soundEnabled) resumeMusicAtDemoTime();
        }
        if (wParam < 256) keys[wParam] = false;
        return 0;
    case WM_SIZE:
        // A scaled frame keeps its size: only the next swap's scaling follows the window.
        if (glWindow.scaledFrame) {
            glWindow.clientWidth = static_cast<int>(lParam & 0xFFFF);
            glWindow.clientHeight = static_cast<int>((lParam >> 16) & 0xFFFF);
            return 0;
        }
        resizeView(static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
        return 0;
    default:
        return 0;
    }
}

int pumpMessage()
{
    Message message;
    if (!peekMessage(message)) return 0;
    glWindow.message = message;
    if (message.message == WM_QUIT) {
        demoState.quitRequested = true;
        return 2;
    }
    handleWindowMessage(nullptr, message.message, message.wParam, message.lParam);
    return 1;
}

void swapGlBuffers()
{
    if (!glWindow.scaledFrame) {
        displaySwapBuffers();
        return;
    }
    int width = glWindow.clientWidth, height = glWindow.clientHeight;
    displayDrawableSize(width, height);
    presentScaledFrame(width, height);
    displaySwapBuffers();
    bindScaledFrame();
}
