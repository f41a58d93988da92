// Scene life cycle and the loop that plays the demo.
//
// Every scene is four plain operations. One loop plays any scene: pump one message, or draw
// one frame with the demo time and swap; the demo sequence plays the five scenes in order.
#pragma once

#include "core/scene.h"

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
