// The temple scene (placeholder: clears to black until its end mark).
#include "scenes/temple_scene.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "shell/demo_state.h"

namespace {
constexpr float templeEndTime = 55.6f;
}

bool loadTempleScene() { return true; }

bool initTempleScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
}

bool drawTempleScene(float t)
{
    if (demoState.playState == Paused) return true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (t > templeEndTime) demoState.sceneDone = true;
    demoState.previousFrameTime = t;
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupTempleScene() { deleteOutlineFont(); }

const Scene templeScene = {"temple", loadTempleScene, initTempleScene, drawTempleScene, cleanupTempleScene};
