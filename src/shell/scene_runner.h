// Scene life cycle and the loop that plays the demo.
//
// Every scene is four plain operations. One loop plays any scene: pump one message, or draw
// one frame with the demo time and swap; the demo sequence plays the five scenes in order.
#pragma once

struct Scene {
    const char* name;
    bool (*load)();          // once, during start-up
    bool (*init)();          // at the start of the scene's run, even after a quit request
    bool (*draw)(float t);   // once per frame with the demo time; false ends the demo
    void (*cleanup)();       // once after the scene's loop ends
};

// Plays one scene to its end. Always true.
bool runScene(const Scene& scene);
// Plays intro, temple, tunnel, credits and end. Always true.
bool runDemoSequence();

// Called after every swap (offline rendering reads the frame back and advances its counter
// here); null in an interactive run.
using FrameHook = void (*)();
extern FrameHook frameHook;
// Name of the scene being played, null between scenes.
extern const char* currentSceneName;
