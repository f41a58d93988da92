// The demo's one window and its OpenGL context, the window procedure and the message pump.
//
// The window procedure turns messages into the run-time flags of DemoState: quit, skip scene,
// overlay toggles and the hidden preview controls (pause, resume, seek) that also move the music.
#pragma once

#include <cstdint>

#include "platform/messages.h"

struct GlWindow {
    bool instance = false;       // video subsystem up (the window class is registered)
    bool window = false;         // the window exists
    bool deviceContext = false;  // the window can be drawn to
    bool renderContext = false;  // the GL context exists
    Message message;             // last message taken by pumpMessage; wParam is the exit code
};

extern GlWindow glWindow;

// Seconds that one Left or Right key-down moves the demo time.
constexpr float seekStepSeconds = 0.5f;

bool openGlWindow(const char* title, int width, int height, int colourBits, bool fullscreen);
void closeGlWindow();
void resizeView(int width, int height);
bool initGlState();
intptr_t handleWindowMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// 0: queue empty; 2: WM_QUIT taken (quit requested); 1: a message was handled.
int pumpMessage();
void swapGlBuffers();
