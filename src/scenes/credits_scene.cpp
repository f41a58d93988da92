// The credits scene (placeholder: clears to black until its end mark).
#include "scenes/credits_scene.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "shell/demo_state.h"

namespace {
constexpr float creditsEndTime = 130.0f;
}

bool loadCreditsScene() { return true; }

bool initCreditsScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
}

bool drawCreditsScene(float t)
{
    if (demoState.playState == Paused) return true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (t > creditsEndTime) demoState.sceneDone = true;
    demoState.previousFrameTime = t;
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupCreditsScene() { deleteOutlineFont(); }

const Scene creditsScene = {"credits", loadCreditsScene, initCreditsScene, drawCreditsScene, cleanupCreditsScene};
