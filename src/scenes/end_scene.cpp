// The end scene.
//
// The camera starts at the wall's corner looking across it and backs away along (-1, 0, -1)
// while the wall turns about an axis through that corner, until 188 s; the frame after that is
// still drawn, without motion, and ends the demo. The closing text is a picture in front of the
// eye that rises on every frame, the last one included.
//
// The scene switches no fog on: fog is still on from the tunnel scene, so the init only sets its
// parameters and the far parts of the wire wall fade into a light blue-white.
#include "scenes/end_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/demo_state.h"
#include "render/draw_helpers.h"
#include "render/outline_font.h"
#include "render/tile_wall.h"

EndState endState;

namespace {
constexpr const char* endTextFile = "maps/text/end.tga";
constexpr GLfloat endFogColour[4] = {0.8f, 0.8f, 1.0f, 1.0f};
constexpr float textLeft = -2.0f, textDepth = -1.3f, textWidth = 4.0f, textHeight = 6.0f;
}  // namespace

bool loadEndScene() { return loadTgaTexture(endTextFile, EndTexture) != 0; }

bool initEndScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, demoSettings.width, demoSettings.height);
    setPerspective(45.0, frameAspect(), 0.001, 1000.0);
    glLoadIdentity();
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, 0.02f);
    glFogfv(GL_FOG_COLOR, endFogColour);
    return true;
}

bool drawEndScene(float t)
{
    if (demoState.playState == Paused) return true;
    EndState& s = endState;
    const float dt = t - demoState.previousFrameTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_BLEND);  // the wall's lines are opaque; the text is blended

    if (t <= endSceneEndTime) {
        s.endEye.z -= 0.25f * dt;
        s.endEye.x -= 0.25f * dt;
        s.wallSpin += 2.0f * dt;
    } else {
        demoState.sceneDone = true;
    }

    setPerspective(90.0, frameAspect(), 0.01, 1000.0);
    glLoadIdentity();
    gluLookAt(s.endEye.x, s.endEye.y, s.endEye.z, 3.0, 3.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(s.wallSpin, -10.0f, -1.0f, 0.0f);

    glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor3f(0.4f, 0.4f, 0.6f);
    drawTileWall(8, 6);

    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, EndTexture);
    glLoadIdentity();
    drawTexturedQuad(textLeft, s.scrollY, textDepth, textWidth, textHeight, 1.0f, 1.0f);

    s.scrollY += 0.15f * dt;
    demoState.previousFrameTime = t;

    setPerspective(45.0, frameAspect(), 0.01, 1000.0);
    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupEndScene() { deleteOutlineFont(); }

const Scene endScene = {"end", loadEndScene, initEndScene, drawEndScene, cleanupEndScene};
