// Display, window and OpenGL context on SDL2 video.
//
// Each step of the shell's window creation and tear-down has one call here, so the shell can
// report every failure with its own text and keep its order. One window exists at most.
#pragma once

bool displayInit();                // video subsystem up (the window-class step); false on failure
void displayQuit();
// Checks that a full-screen mode of width x height exists; records the mode whose colour depth
// is nearest to bits. False when the display offers no such mode.
bool displayChangeMode(int width, int height, int bits);
void displayRestoreMode();         // forgets the recorded mode; the desktop mode comes back
// Sets the pixel-format request: double buffer, depth of at least depthBits and never under
// 24 bits, no alpha, no stencil.
void displaySetPixelFormat(int colourBits, int depthBits);
// Creates the hidden window with a client area of width x height, full screen in the recorded
// mode when fullscreen is set.
bool displayCreateWindow(const char* title, int width, int height, bool fullscreen);
// Creates the hidden window for a frame that is scaled at every swap: full screen at the
// desktop's own resolution (no mode change) when desktop is set, otherwise a resizable window
// with a client area of width x height. Its drawable has the screen's own pixels where the
// desktop scales windows up.
bool displayCreateScaledWindow(const char* title, int width, int height, bool desktop);
// Pixels of the window's drawable; false without a window.
bool displayDrawableSize(int& width, int& height);
bool displayCreateContext();
bool displayMakeCurrent();
bool displayReleaseCurrent();
bool displayDeleteContext();
bool displayDestroyWindow();
void displayShowWindow();
void displayShowCursor(bool show);
void displaySwapBuffers();
void displaySetSwapInterval(int interval);
// The window as SDL knows it (an SDL_Window*), null without one: message boxes take it as
// their parent, so none hides behind a full-screen window.
void* displayNativeWindow();
// SDL's reason for the last failed window or context step ("" when it gave none). Each of
// those steps starts with no reason, so an older one never stands in for it.
const char* displayLastError();
// True when SDL's video driver draws to no screen (offscreen or dummy).
bool displayIsOffscreen();
// Makes the next displayInit use SDL's offscreen driver (offline rendering, benchmarks).
void displayRequestOffscreen();
