// The temple scene.
//
// The camera moves by the time since the previous frame, whichever scene drew it, along the leg
// the current time falls in; it always looks at the origin. The model is drawn under a 75-degree
// projection, scaled to 1/20, lit by its own lights and textured by its materials. The words are
// drawn after it without depth testing under a 45-degree projection, each with the opacity of
// the frame before, which is then moved: up by 0.2 a second inside the word's rise window, down
// by 0.2 a second from the window's end on, and kept within 0..1. A rise window of 3 s thus
// takes a word only to 0.6 (the last word's 4 s to 0.8) before it falls back, so each word fades
// out while the next fades in. A word at opacity 0 is not drawn: it would change no pixel.
//
// Fog is on for the whole scene, the words included. The scene draws into the full-window
// viewport the intro leaves behind.
#include "scenes/temple_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "core/demo_state.h"
#include "core/timeline.h"
#include "render/draw_helpers.h"
#include "render/model_renderer.h"
#include "render/outline_font.h"

TempleState templeState;
AseModel templeModel;

const TempleWord templeWords[6] = {
    {TempleWord1Texture, "maps/text/whatisquibe.tga", -1.7f, 1.45f, 1.8f, 0.4f, 36.0f, 39.0f},
    {TempleWord2Texture, "maps/text/human.tga", 0.3f, 1.45f, 2.1f, 0.7f, 39.0f, 42.0f},
    {TempleWord3Texture, "maps/text/empty.tga", -1.3f, 1.0f, 1.8f, 0.4f, 42.0f, 45.0f},
    {TempleWord4Texture, "maps/text/hollowmint.tga", 0.2f, 0.7f, 1.85f, 0.3f, 45.0f, 48.0f},
    {TempleWord5Texture, "maps/text/main.tga", -1.5f, 0.35f, 1.8f, 1.2f, 48.0f, 51.0f},
    {TempleWord6Texture, "maps/text/space.tga", -1.2f, 1.45f, 3.2f, 0.4f, 51.0f, 55.0f},
};

namespace {
constexpr const char* templeModelFile = "models/templo01/templo01.ase";
constexpr const char* glowFile = "maps/destello.tga";
constexpr float wordDepth = -4.99f;
constexpr float wordRate = 0.2f;  // opacity per second
constexpr GLfloat fogColour[4] = {0.8f, 0.8f, 0.8f, 1.0f};

void moveEye(int leg, float dt)
{
    Vector3& eye = templeState.templeEye;
    switch (leg) {
    case 0: eye.x += 2.0f * dt; break;
    case 1: eye.z -= 3.0f * dt; break;
    case 2:
        eye.x += 3.0f * dt;
        eye.z -= 3.0f * dt;
        break;
    case 3:
        eye.x -= 2.0f * dt;
        eye.y += 0.5f * dt;
        eye.z -= 2.0f * dt;
        break;
    default: break;
    }
}

// Before the rise window nothing changes; inside it the word rises; from its end on it falls.
void moveWordAlpha(float& alpha, const TempleWord& word, float t, float dt)
{
    if (t > word.riseStart && t < word.riseEnd)
        alpha += wordRate * dt;
    else if (t >= word.riseEnd)
        alpha -= wordRate * dt;
    alpha = std::clamp(alpha, 0.0f, 1.0f);
}
}  // namespace

int templeLeg(float t) { return timelineLeg(templeLegEnds, t); }

bool loadTempleScene()
{
    loadAseModel(templeModelFile, templeModel);
    int status = loadTgaTexture(glowFile, TempleGlowTexture);
    for (const TempleWord& word : templeWords) status = loadTgaTexture(word.file, word.texture);
    return status != 0;
}

bool initTempleScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glLoadIdentity();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, 0.04f);
    glFogfv(GL_FOG_COLOR, fogColour);
    return true;
}

bool drawTempleScene(float t)
{
    if (demoState.playState == Paused) return true;
    TempleState& s = templeState;
    const float dt = t - demoState.previousFrameTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);  // the temple is opaque; only the words are blended

    const int leg = templeLeg(t);
    moveEye(leg, dt);
    if (leg >= 4) demoState.sceneDone = true;

    setPerspective(75.0, frameAspect(), 0.1, 1000.0);
    gluLookAt(s.templeEye.x, s.templeEye.y, s.templeEye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glScalef(0.05f, 0.05f, 0.05f);
    glColor3f(1.0f, 1.0f, 1.0f);
    // The model's solids are closed and the camera stays outside them: faces turned away are
    // hidden behind nearer ones of the same solid, and the renderer need not shade them first.
    glEnable(GL_CULL_FACE);
    drawAseModel(templeModel, 1, 1, 1, 0, 0, 0);
    glDisable(GL_CULL_FACE);

    setPerspective(45.0, frameAspect(), 0.001, 100.0);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int k = 0; k < 6; ++k) {
        const TempleWord& word = templeWords[k];
        glColor4f(1.0f, 1.0f, 1.0f, s.wordAlpha[k]);
        glBindTexture(GL_TEXTURE_2D, word.texture);
        // At opacity 0 a word's blend leaves every pixel (and, with depth testing off, the depth
        // buffer) as it was; most of the scene has four or five words there.
        if (s.wordAlpha[k] > 0.0f) drawTexturedQuad(word.x, word.y, wordDepth, word.width, word.height, 1.0f, 1.0f);
        moveWordAlpha(s.wordAlpha[k], word, t, dt);
    }
    glEnable(GL_DEPTH_TEST);

    fadeScreen(FadeIn, 34.8f, 36.8f, t);
    fadeScreen(FadeOut, 54.5f, 56.0f, t);
    flashScreen(34.8f, 36.0f, t, 0.5f);

    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    demoState.previousFrameTime = t;
    return true;
}

void cleanupTempleScene()
{
    releaseAseModel(templeModel);
    deleteOutlineFont();
}

const Scene templeScene = {"temple", loadTempleScene, initTempleScene, drawTempleScene, cleanupTempleScene};
