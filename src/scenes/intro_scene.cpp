// The intro scene (placeholder: clears to black until its end mark).
#include "scenes/intro_scene.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "shell/demo_state.h"

namespace {
constexpr float introEndTime = 34.8f;
}

bool loadIntroScene() { return true; }

bool initIntroScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
}

bool drawIntroScene(float t)
{
    if (demoState.playState == Paused) return true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (t > introEndTime) demoState.sceneDone = true;
    demoState.previousFrameTime = t;
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupIntroScene() { deleteOutlineFont(); }

const Scene introScene = {"intro", loadIntroScene, initIntroScene, drawIntroScene, cleanupIntroScene};
