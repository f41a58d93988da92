// Display stand-in: SDL2 window, display mode and GL context.
#include "platform/display.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
SDL_DisplayMode fullscreenMode{};
bool modeRecorded = false;
}

namespace {
bool drawsToNoScreen(const char* driver)
{
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}
}  // namespace

bool displayInit()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "demotorva: no display: %s; set DISPLAY, or record with --record FILE\n",
                     SDL_GetError());
        return false;
    }
    // Where no display answers, SDL falls back on its offscreen driver by itself, and the demo
    // would play in a window nobody can see. Only a driver asked for by name may draw nowhere.
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (drawsToNoScreen(SDL_GetCurrentVideoDriver()) && !drawsToNoScreen(requested)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "demotorva: no display could be opened (DISPLAY is %s); "
                     "set DISPLAY, or record with --record FILE\n",
                     display && *display ? display : "not set");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void displayQuit() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

bool displayChangeMode(int width, int height, int bits)
{
    modeRecorded = false;
#ifdef __EMSCRIPTEN__
    // A page cannot switch the screen's mode: its canvas plays at the frame's size, and the
    // page's own full-window mode stands in for full screen.
    (void)width, (void)height, (void)bits;
    return true;
#endif
    int count = SDL_GetNumDisplayModes(0);
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        int distance = std::abs(static_cast<int>(SDL_BITSPERPIXEL(mode.format)) - bits);
        if (distance < bestDistance) {
            bestDistance = distance;
            fullscreenMode = mode;
            modeRecorded = true;
        }
    }
    return modeRecorded;
}

void displayRestoreMode()
{
    if (window) SDL_SetWindowFullscreen(window, 0);
    modeRecorded = false;
}

void displaySetPixelFormat(int colourBits, int depthBits)
{
    int channel = colourBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    // The depth asked for is a minimum the driver may exceed, as WGL drivers commonly did; at
    // least 24 bits are asked for here, since the scenes' near planes of 0.01 and 0.001 leave a
    // 16-bit buffer no precision a few units out: everything farther rounds to the cleared
    // depth and is not drawn at all.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits < 24 ? 24 : depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
#ifdef __EMSCRIPTEN__
    // In a browser SDL makes WebGL 2 contexts only, asked for as OpenGL ES 3.0; the fixed
    // pipeline is emulated on top (platform/web_gl.h).
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
#endif
}

bool displayCreateWindow(const char* title, int width, int height, bool fullscreen)
{
    SDL_ClearError();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
#ifdef __EMSCRIPTEN__
    fullscreen = false;
#endif
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                              height, flags);
    if (!window) return false;
    if (fullscreen && modeRecorded) SDL_SetWindowDisplayMode(window, &fullscreenMode);
    return true;
}

bool displayCreateScaledWindow(const char* title, int width, int height, bool desktop)
{
    SDL_ClearError();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
    if (desktop) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        // Made at the desktop's size and place from the start, the window covers the screen
        // even where no window manager acts on the full-screen request (a bare X server).
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
            x = bounds.x;
            y = bounds.y;
            width = bounds.w;
            height = bounds.h;
        }
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    window = SDL_CreateWindow(title, x, y, width, height, flags);
    return window != nullptr;
}

bool displayDrawableSize(int& width, int& height)
{
    if (!window) return false;
    SDL_GL_GetDrawableSize(window, &width, &height);
    return true;
}

bool displayCreateContext()
{
    SDL_ClearError();
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    return context != nullptr;
}

bool displayMakeCurrent()
{
    SDL_ClearError();
    return window && context && SDL_GL_MakeCurrent(window, context) == 0;
}
bool displayReleaseCurrent() { return SDL_GL_MakeCurrent(window, nullptr) == 0; }

bool displayDeleteContext()
{
    if (!context) return false;
    SDL_GL_DeleteContext(context);
    context = nullptr;
    return true;
}

bool displayDestroyWindow()
{
    if (!window) return false;
    SDL_DestroyWindow(window);
    window = nullptr;
    return true;
}

void displayShowWindow()
{
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_DisableScreenSaver();
}

void displayShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }
void displaySwapBuffers()
{
    if (window) SDL_GL_SwapWindow(window);
#ifdef __EMSCRIPTEN__
    // The browser shows the canvas and delivers input and sound only when the program returns
    // to it: the demo's loop hands it a turn after each frame (ASYNCIFY resumes it after).
    emscripten_sleep(0);
#endif
}
void displaySetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }
void* displayNativeWindow() { return window; }
const char* displayLastError() { return SDL_GetError(); }

bool displayIsOffscreen()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
    return drawsToNoScreen(driver);
}

void displayRequestOffscreen()
{
#ifndef __EMSCRIPTEN__
    // A page has its canvas as its one display: offline frames are drawn there too.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
}
