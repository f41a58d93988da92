// Program-wide settings and run-time flags.
//
// Two single records carry everything that more than one part of the shell and the scenes
// read or write: `demoSettings`, the start-up constants, and `demoState`, the flags through
// which the window procedure, the runner and the scenes talk to each other. Everything runs
// on one thread, so the fields are read and written directly.
#pragma once

#include <cstdint>

// Preview state driven by the arrow keys.
enum PlayState : int32_t {
    Paused = 0,
    Playing = 1,
    FastForward = 2,
    Rewind = 3,
};

using MusicHandle = uint32_t;

// The music module, read relative to the data folder.
constexpr const char* musicModuleFile = "Mod_.it";

struct DemoSettings {
    int32_t width = 800;            // frame width in pixels
    int32_t height = 600;           // frame height in pixels
    bool fullscreen = true;         // display mode switched; cleared when a window is accepted
    bool soundEnabled = true;       // cleared when the audio device cannot be opened
    bool frameMeterEnabled = true;  // every clock reading feeds the frame-rate meter
};

struct DemoState {
    bool active = true;                  // window not minimised; frames are drawn only then
    PlayState playState = Playing;       // preview state
    PlayState savedPlayState = Playing;  // state to return to when Left, Right or Up is released
    bool keys[256] = {};                 // key-down flags by virtual-key code
    MusicHandle musicHandle = 0;         // the loaded module
    bool quitRequested = false;          // ends the run; never cleared
    bool sceneDone = false;              // ends the current scene; cleared after each scene
    bool showTime = false;               // time overlay on
    bool showFps = false;                // frame-rate overlay on
    float timeOffset = 0.0f;             // added to every clock reading (preview seek)
    float pauseTime = 0.0f;              // clock reading when Down paused the demo
    float previousFrameTime = 0.0f;      // demo time of the previous drawn frame
};

extern DemoSettings demoSettings;
// The frame's shape, width over height, for the scenes' projections.
inline double frameAspect() { return static_cast<double>(demoSettings.width) / demoSettings.height; }
extern DemoState demoState;
