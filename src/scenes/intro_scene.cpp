// The intro scene.
//
// Each frame first draws the landscape into the lower-left 512 x 512 pixels (at 600 lines;
// the square grows with the frame height, see frameCopySize) under the main
// view's 90-degree projection of the full window's aspect, copies those pixels into a texture
// and clears them away. The square viewport squeezes the landscape horizontally; spread over the
// 4.7 x 3.5 tile wall it regains about its proportions. Because the landscape camera is
// multiplied onto the main view, the picture on the wall takes part in the wall's own tilt.
//
// Where the driver can draw into a texture, the landscape is drawn into the copy texture itself
// (render/texture_target) instead of into the corner of the frame: the same pixels without the
// copy, and the frame's own clear is then the one after the pass.
//
// The box room is pure background for the wall: it is drawn after the wall, only where the wall
// left the depth buffer cleared, which gives the pixels of drawing it first without depth testing
// and shades none that the wall then covers. The title bars, lines, logo and credit are drawn
// last under a 45-degree overlay projection, scaled to 1/20, in front of everything the depth
// buffer holds.
//
// All motion is integrated from the time since the previous frame: a long gap moves everything
// by the whole gap at once, and a rewind runs the motions still under way backwards. A value
// that has a limit moves while it has yet to reach it, may pass it by less than one step, and is
// set to the limit exactly by the first frame that finds it there.
#include "scenes/intro_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "core/demo_state.h"
#include "core/timeline.h"
#include "render/draw_helpers.h"
#include "render/model_renderer.h"
#include "render/outline_font.h"
#include "render/texture_target.h"
#include "render/tile_wall.h"

IntroState introState;
AseModel landscapeModel;
TextureId copyTexture[1] = {0};
TextureTarget landscapeTarget;

namespace {
constexpr const char* landscapeModelFile = "models/landscape/landscape.ase";
constexpr int copyBase = 512;  // edge of the landscape pass and of its texture at 600 lines
int copySize = copyBase;       // the same for the frame's size, set when the scene loads

constexpr float mainEyeX = 2.3f;     // the main camera looks at the wall's middle
constexpr float mainCentreY = 1.7f;
constexpr float tiltRate = 3.5f;     // degrees per second
constexpr float approachRate = 0.2f; // main eye towards +z per second while tilting
constexpr float boxTurnRate = 1.3f;  // radians per second
constexpr float textFadeRate = 0.1f; // logo and credit opacity per second in the last leg
constexpr float titleAlpha = 0.8f;

// How one title element turns its value into a rectangle.
enum TitleShape {
    BarFromLeft,   // corner x = -value, fixed size
    BarFromRight,  // corner x = value, fixed size
    LineAcross,    // width = value, height 0.03
    LineUp,        // width 0.03, height = value
};

struct TitleElement {
    TitleShape shape;
    float* value;
    float r, g, b;
    float x, y, z;          // corner; x is replaced by the value for bars
    float width, height;    // size; replaced by the value along a line's length
    float velocity;         // units per second, towards the limit
    float limit;
};

constexpr float lineWidth = 0.03f;

// A value with a limit: moves by velocity x dt while it has yet to reach the limit in the
// direction of its motion, otherwise is set to the limit exactly.
void approach(float& value, float velocity, float limit, float dt)
{
    const bool underWay = velocity < 0.0f ? value > limit : value < limit;
    if (underWay)
        value += velocity * dt;
    else
        value = limit;
}

void drawTitleElement(const TitleElement& e, float dt)
{
    float x = e.x, width = e.width, height = e.height;
    switch (e.shape) {
    case BarFromLeft: x = -*e.value; break;
    case BarFromRight: x = *e.value; break;
    case LineAcross: width = *e.value; break;
    case LineUp: height = *e.value; break;
    }
    glColor4f(e.r, e.g, e.b, titleAlpha);
    drawTexturedQuad(x, e.y, e.z, width, height, 1.0f, 1.0f);
    approach(*e.value, e.velocity, e.limit, dt);
}

// Bars B1..B4 and lines L1..L4 in drawing order; each advances right after it is drawn, and
// lines L2 and L3 only once line L1 is longer than 3.25.
void drawTitleBarsAndLines(float dt)
{
    IntroState& s = introState;
    const TitleElement bars[] = {
        {BarFromLeft, &s.barOffset[0], 0.2f, 0.2f, 0.6f, 0.0f, 1.6f, -5.002f, 2.0f, 0.3f, -0.4f, 2.5f},
        {BarFromLeft, &s.barOffset[1], 0.2f, 0.4f, 1.0f, 0.0f, 1.4f, -5.001f, 2.0f, 0.3f, -0.3f, 2.35f},
        {BarFromLeft, &s.barOffset[2], 0.4f, 0.4f, 0.6f, 0.0f, 1.5f, -5.0f, 2.0f, 0.3f, -0.35f, 1.85f},
        {BarFromRight, &s.barOffset[3], 0.4f, 0.4f, 0.6f, 0.0f, -1.8f, -5.0f, 1.8f, 0.3f, -0.3f, 0.8f},
    };
    const TitleElement line1 = {LineAcross, &s.lineLength[0], 0.4f, 0.4f, 0.6f,
                                -2.5f, -1.85f, -5.003f, 0.0f, lineWidth, 0.4f, 5.1f};
    const TitleElement lines23[] = {
        {LineUp, &s.lineLength[1], 0.4f, 0.4f, 0.6f, 0.75f, -1.85f, -5.003f, lineWidth, 0.0f, 0.2f, 0.38f},
        {LineAcross, &s.lineLength[2], 0.4f, 0.4f, 0.6f, 0.75f, -1.48f, -5.003f, 0.0f, lineWidth, 0.4f, 1.85f},
    };
    const TitleElement line4 = {LineUp, &s.lineLength[3], 0.4f, 0.4f, 0.6f,
                                -2.43f, -1.9f, -5.003f, lineWidth, 0.0f, 0.4f, 3.5f};

    for (const TitleElement& bar : bars) drawTitleElement(bar, dt);
    drawTitleElement(line1, dt);
    if (s.lineLength[0] > 3.25f)
        for (const TitleElement& line : lines23) drawTitleElement(line, dt);
    drawTitleElement(line4, dt);
}

void moveLandscapeEye(int leg, float dt)
{
    Vector3& eye = introState.landscapeEye;
    switch (leg) {
    case 0:
        eye.x -= 13.0f * dt;
        eye.z += 10.0f * dt;
        eye.y += 10.0f * dt;
        break;
    case 1:
        eye.z += 10.0f * dt;
        eye.x -= 8.0f * dt;
        break;
    case 2:
    case 3:
        eye.x += 10.0f * dt;
        eye.z -= 10.0f * dt;
        break;
    default: break;
    }
}

// The landscape under the main view into the copy texture: drawn into the texture directly, or
// into the lower-left corner, copied and cleared away. Leaves the frame cleared to black and the
// clear colour for the next frame's first clear.
void renderLandscapeIntoTexture(bool intoTexture)
{
    const Vector3& eye = introState.landscapeEye;
    glPushMatrix();
    glViewport(0, 0, copySize, copySize);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    gluLookAt(eye.x, eye.y, eye.z, 5.0, 10.0, 5.0, 0.0, 1.0, 0.0);
    glScalef(0.08f, 0.08f, 0.08f);
    glColor3f(1.0f, 0.6f, 0.6f);
    drawAseModel(landscapeModel, 1, 1, 0, 0, 0, 0);

    if (intoTexture) {
        endTextureTarget(landscapeTarget);
    } else {
        glBindTexture(GL_TEXTURE_2D, copyTexture[0]);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, copySize, copySize, 0);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, demoSettings.width, demoSettings.height);
    glClearColor(0.0f, 0.0f, 0.2f, 0.5f);
    glPopMatrix();
}

// The box room behind the wall under its own wide projection and a camera whose look-at circles
// (-4, -4) with radius 4; the centre set here is used by the next frame. Its pixels all lie at
// the far end of the depth range and pass only where the depth buffer is still cleared; it
// writes no depth, so the overlay meets the depth buffer the wall left.
void renderBoxRoomBackground(float dt)
{
    IntroState& s = introState;
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(120.0, frameAspect(), 0.001, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    gluLookAt(-1.0, -1.0, -5.0, s.boxCentreX, s.boxCentreY, -15.0, 0.0, 1.0, 0.0);
    s.boxCentreX = (std::sin(s.boxAngle) - 1.0f) * 4.0f;
    s.boxCentreY = (std::cos(s.boxAngle) - 1.0f) * 4.0f;
    s.boxAngle += boxTurnRate * dt;
    drawBoxRoom();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDepthRange(0.0, 1.0);
}

// Logo and credit. Until the last leg both are at opacity 0 and are not drawn: their blend
// would change no pixel, and the depth they would write is met by nothing drawn after them (the
// fades and the flash draw without depth testing, the two pictures do not overlap).
void drawTitleTexts()
{
    const IntroState& s = introState;
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, s.logoAlpha);
    glBindTexture(GL_TEXTURE_2D, IntroLogoTexture);
    if (s.logoAlpha > 0.0f) drawTexturedQuad(-1.7f, 1.45f, -4.99f, 1.8f, 0.4f, 1.0f, 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, s.creditAlpha);
    glBindTexture(GL_TEXTURE_2D, IntroCreditTexture);
    if (s.creditAlpha > 0.0f) drawTexturedQuad(0.85f, -1.78f, -4.99f, 1.8f, 0.3f, 1.0f, 1.0f);
}
}  // namespace

int introLeg(float t) { return timelineLeg(introLegEnds, t); }

void drawBoxRoom()
{
    constexpr float side = 10.0f, repeats = 7.0f;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, IntroBoxTexture);
    glPushMatrix();
    glColor3f(0.8f, 1.0f, 0.8f);
    drawTexturedQuad(-5.0f, -5.0f, -10.0f, side, side, repeats, repeats);  // back wall
    glTranslatef(-5.0f, -5.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    drawTexturedQuad(0.0f, 0.0f, 0.0f, side, side, repeats, repeats);  // x = -5
    glTranslatef(0.0f, 0.0f, 10.0f);
    drawTexturedQuad(0.0f, 0.0f, 0.0f, side, side, repeats, repeats);  // x = 5
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
    drawTexturedQuad(0.0f, 0.0f, 0.0f, side, side, repeats, repeats);  // floor
    glTranslatef(0.0f, 0.0f, 10.0f);
    drawTexturedQuad(0.0f, 0.0f, 0.0f, side, side, repeats, repeats);  // ceiling
    glPopMatrix();
}

bool loadIntroScene()
{
    copySize = frameCopySize(copyBase, demoSettings.width, demoSettings.height);
    createBlankTexture(copyTexture, copySize, 3, GL_RGB, 0);
    createTextureTarget(landscapeTarget, copyTexture[0], copySize);
    loadTgaTexture("maps/blueBox.tga", IntroBoxTexture);
    loadTgaTexture("maps/quibe.tga", IntroLogoTexture);
    const int status = loadTgaTexture("maps/by_torva.tga", IntroCreditTexture);
    loadAseModel(landscapeModelFile, landscapeModel);
    return status != 0;
}

bool initIntroScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, demoSettings.width, demoSettings.height);
    return true;
}

bool drawIntroScene(float t)
{
    if (demoState.playState == Paused) return true;
    IntroState& s = introState;
    const float dt = t - demoState.previousFrameTime;

    // The clear colour is the dark blue the previous frame left for the landscape pass; drawn
    // into the texture, the pass clears the texture with it.
    const bool intoTexture = textureTargetReady(landscapeTarget);
    if (intoTexture) beginTextureTarget(landscapeTarget);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // Landscape, box room and wall are opaque (colour and textures of alpha 1): blending would
    // give the same pixels and cost a read and a mix of every covered pixel.
    glDisable(GL_BLEND);

    const int leg = introLeg(t);
    moveLandscapeEye(leg, dt);
    if (leg == 3) {
        s.creditAlpha += textFadeRate * dt;
        s.logoAlpha += textFadeRate * dt;
    }
    if (leg >= 4) demoState.sceneDone = true;

    // Main view: the camera in front of the wall, the whole frame tilted about (-1, -1, 0).
    setPerspective(90.0, frameAspect(), 0.01, 1000.0);
    glLoadIdentity();
    gluLookAt(mainEyeX, s.mainEyeY, s.mainEyeZ, s.mainCentreX, mainCentreY, 0.0, 0.0, 1.0, 0.0);
    glRotatef(s.tilt, -1.0f, -1.0f, 0.0f);

    renderLandscapeIntoTexture(intoTexture);

    glBindTexture(GL_TEXTURE_2D, copyTexture[0]);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawTileWall(8, 6);
    renderBoxRoomBackground(dt);

    if (s.tilt > 0.0f) {
        s.tilt -= tiltRate * dt;
        s.mainEyeZ += approachRate * dt;
    } else {
        s.tilt = 0.0f;
    }
    s.mainCentreX = mainEyeX;
    s.mainEyeY = mainCentreY;

    // Overlay: 45 degrees, 1/20 scale, depth test still on, blended.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    setPerspective(45.0, frameAspect(), 0.1, 100.0);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glScalef(0.05f, 0.05f, 0.05f);
    drawTitleBarsAndLines(dt);
    drawTitleTexts();

    fadeScreen(FadeIn, 0.0f, 4.0f, t);
    fadeScreen(FadeOut, 33.0f, 35.0f, t);
    flashScreen(5.0f, 5.5f, t, 0.5f);
    demoState.previousFrameTime = t;

    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupIntroScene() { deleteOutlineFont(); }

const Scene introScene = {"intro", loadIntroScene, initIntroScene, drawIntroScene, cleanupIntroScene};
