// The tunnel scene (placeholder: clears to black until its end mark).
#include "scenes/tunnel_scene.h"

#include <GL/gl.h>

#include "render/outline_font.h"
#include "shell/demo_state.h"

namespace {
constexpr float tunnelEndTime = 75.0f;
}

bool loadTunnelScene() { return true; }

bool initTunnelScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    return true;
}

bool drawTunnelScene(float t)
{
    if (demoState.playState == Paused) return true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (t > tunnelEndTime) demoState.sceneDone = true;
    demoState.previousFrameTime = t;
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupTunnelScene() { deleteOutlineFont(); }

const Scene tunnelScene = {"tunnel", loadTunnelScene, initTunnelScene, drawTunnelScene, cleanupTunnelScene};
