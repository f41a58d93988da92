// Display stand-in: SDL2 window, display mode and GL context.
#include "platform/display.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
SDL_DisplayMode fullscreenMode{};
bool modeRecorded = false;
}

bool displayInit()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void displayQuit() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

bool displayChangeMode(int width, int height, int bits)
{
    modeRecorded = false;
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
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

bool displayCreateWindow(const char* title, int width, int height, bool fullscreen)
{
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                              height, flags);
    if (!window) return false;
    if (fullscreen && modeRecorded) SDL_SetWindowDisplayMode(window, &fullscreenMode);
    return true;
}

bool displayCreateContext()
{
    if (!window) return false;
    context = SDL_GL_CreateContext(window);
    return context != nullptr;
}

bool displayMakeCurrent() { return window && context && SDL_GL_MakeCurrent(window, context) == 0; }
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
}
void displaySetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }
bool displayHasWindow() { return window != nullptr; }

bool displayIsOffscreen()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void displayRequestOffscreen() { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
