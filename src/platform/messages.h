// Win32-shaped window messages made from SDL events.
//
// The shell's window procedure was written against Win32 messages; this layer turns SDL events
// into records of the same shape and values (WM_ and VK_ codes as Win32 numbers them), keeps
// the quit message that postQuitMessage queues, and lets tests queue messages of their own.
#pragma once

#include <cstdint>

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;

constexpr uintptr_t VK_ESCAPE = 27;
constexpr uintptr_t VK_SPACE = 32;
constexpr uintptr_t VK_LEFT = 37;
constexpr uintptr_t VK_UP = 38;
constexpr uintptr_t VK_RIGHT = 39;
constexpr uintptr_t VK_DOWN = 40;

struct Message {
    uint32_t message = WM_NULL;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// Takes the next message: first those queued by postMessage/postQuitMessage, then one made
// from a pending SDL event (events with no counterpart are dropped). False when none waits.
bool peekMessage(Message& message);
// Queues WM_QUIT with the exit code.
void postQuitMessage(int exitCode);
// Queues any message (tests, and runs without a window).
void postMessage(const Message& message);
// Forgets queued messages; with ignoreEvents set SDL events are no longer read (offline runs).
void clearMessages();
void setIgnoreEvents(bool ignore);
