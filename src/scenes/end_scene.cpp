// The end scene (placeholder: clears to black until its end mark).
#include "scenes/end_scene.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "shell/demo_state.h"

namespace {
constexpr float endEndTime = 188.0f;
}

bool loadEndScene() { return true; }

bool initEndScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
}

bool drawEndScene(float t)
{
    if (demoState.playState == Paused) return true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (t > endEndTime) demoState.sceneDone = true;
    demoState.previousFrameTime = t;
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupEndScene() { deleteOutlineFont(); }

const Scene endScene = {"end", loadEndScene, initEndScene, drawEndScene, cleanupEndScene};
