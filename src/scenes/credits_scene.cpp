// The credits scene.
//
// The chain is one logo-bar model drawn up to ten times, each link moved and turned on top of
// the previous one, so a growing turn curls the whole chain. It is added to the picture
// (additive blending, no depth test), which makes the overlapping links glow. The links take
// their opacities from one cycle of ten values that runs on from link to link and frame to
// frame; with ten links a frame, each link keeps the same opacity once the chain is complete.
//
// Captions are pictures in front of the eye that slide in at a fixed speed while the time is
// strictly inside their window and rest at their stop; after the window they drift back the way
// they came, so rewinding into a window finds them where they have drifted to.
//
// Everything is fogged. Fog is already on when the scene starts (the tunnel leaves it on); the
// init switches it on as well, so the scene looks the same whatever ran before it.
#include "scenes/credits_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <iterator>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "core/demo_state.h"
#include "render/draw_helpers.h"
#include "render/model_renderer.h"
#include "render/outline_font.h"

CreditsState creditsState;
AseModel logoBarModel;

const CreditsCaption creditsCaptions[creditsCaptionCount] = {
    {Credits3dTexture, 0.0f, 6.0f, 0.5f, 90.0f, 100.0f, -9.0f, +1.0f, 0.7f, -2.5f},
    {Credits2dTexture, 0.0f, 6.0f, 0.5f, 110.0f, 120.0f, -9.0f, +1.0f, 0.7f, -3.0f},
    {CreditsCodeTexture, 1.2f, 6.0f, 0.5f, 85.0f, 100.0f, 3.0f, -1.0f, 0.8f, -3.5f},
    {CreditsMusicTexture, 1.2f, 6.0f, 0.5f, 105.0f, 120.0f, 3.0f, -1.0f, 0.8f, -3.5f},
    {CreditsCorvaneTexture, -1.2f, 4.0f, 0.4f, 110.0f, 120.0f, 3.0f, -1.0f, 0.5f, -2.5f},
    {CreditsQzrTexture, -1.2f, 4.0f, 0.4f, 90.0f, 100.0f, 3.0f, -1.0f, 0.5f, -2.5f},
};

namespace {
constexpr const char* logoBarFile = "models/logobar.ase";
constexpr float captionDepth = -4.99f;
constexpr GLfloat creditsFogColour[4] = {0.8f, 0.8f, 1.0f, 1.0f};

constexpr TgaPicture captionPictures[] = {
    {Credits3dTexture, "maps/3d.tga"},       {Credits2dTexture, "maps/2d.tga"},
    {CreditsCodeTexture, "maps/code.tga"},   {CreditsMusicTexture, "maps/music.tga"},
    {CreditsCorvaneTexture, "maps/corvane.tga"}, {CreditsQzrTexture, "maps/qzr.tga"},
};

// Moves caption i for a frame at time t; true when it is to be drawn.
bool moveCaption(int i, float t, float dt)
{
    const CreditsCaption& c = creditsCaptions[i];
    float& x = creditsState.captionX[i];
    if (t <= c.windowStart) return false;
    if (t >= c.windowEnd) {
        x -= c.direction * c.speed * dt;
        return false;
    }
    const bool shortOfStop = c.direction > 0 ? x < c.stopX : x > c.stopX;
    if (shortOfStop)
        x += c.direction * c.speed * dt;
    else
        x = c.stopX;
    return true;
}

void drawChain(float dt)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glScalef(0.05f, 0.05f, 0.05f);
    glTranslatef(-5.0f, 0.0f, -30.0f);
    for (int32_t i = 0; i < creditsState.barCount; ++i) drawLogoBar();
    if (creditsState.barCount < creditsMaxBars) ++creditsState.barCount;
    creditsState.barSpin += 3.0f * dt;
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}

void drawCaptions(float t, float dt)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    for (int i = 0; i < creditsCaptionCount; ++i) {
        const CreditsCaption& c = creditsCaptions[i];
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBindTexture(GL_TEXTURE_2D, c.texture);
        if (moveCaption(i, t, dt))
            drawTexturedQuad(creditsState.captionX[i], c.y, captionDepth, c.width, c.height, 1.0f, 1.0f);
    }
}
}  // namespace

void drawLogoBar()
{
    glTranslatef(0.1f, 0.1f, -0.1f);
    glRotatef(creditsState.barSpin, 1.0f, 0.5f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, creditsState.barAlpha);
    drawAseModel(logoBarModel, 1, 1, 0, 0, 0, 0);
    if (creditsState.barAlpha > 1.0f)
        creditsState.barAlpha = 0.1f;
    else
        creditsState.barAlpha += 0.1f;
}

bool loadCreditsScene()
{
    loadTgaTexture("maps/suelo3.tga", CreditsFloorTexture);
    loadAseModel(logoBarFile, logoBarModel);
    return loadTgaTextures(captionPictures, std::size(captionPictures)) != 0;
}

bool initCreditsScene()
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
    glFogfv(GL_FOG_COLOR, creditsFogColour);
    glEnable(GL_FOG);
    return true;
}

bool drawCreditsScene(float t)
{
    if (demoState.playState == Paused) return true;
    const float dt = t - demoState.previousFrameTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (t > creditsEndTime) demoState.sceneDone = true;

    drawChain(dt);
    drawCaptions(t, dt);
    glEnable(GL_DEPTH_TEST);
    demoState.previousFrameTime = t;

    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupCreditsScene() { deleteOutlineFont(); }

const Scene creditsScene = {"credits", loadCreditsScene, initCreditsScene, drawCreditsScene, cleanupCreditsScene};
