// Scene runner and demo sequence: one loop plays every scene.
#include "shell/scene_runner.h"

#include "core/demo_state.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "shell/demo_clock.h"
#include "shell/gl_window.h"
#include "shell/scene_rehearsal.h"

FrameHook frameHook = nullptr;
const char* currentSceneName = nullptr;

bool runScene(const Scene& scene)
{
    currentSceneName = scene.name;
    scene.init();
    while (!demoState.quitRequested && !demoState.sceneDone) {
        if (pumpMessage() != 0) continue;
        if (demoState.active) {
            float time = demoTimeAt(readClock());
            if (!scene.draw(time)) {
                demoState.quitRequested = true;
                continue;
            }
        }
        swapGlBuffers();
        if (frameHook) frameHook();
        continueRehearsal();
    }
    scene.cleanup();
    demoState.sceneDone = false;
    currentSceneName = nullptr;
    return true;
}

bool runDemoSequence()
{
    runScene(introScene);
    runScene(templeScene);
    runScene(tunnelScene);
    runScene(creditsScene);
    runScene(endScene);
    return true;
}
