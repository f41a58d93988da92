// The tunnel scene.
//
// The camera circles the tunnel's axis at radius 1 while it looks from depth 30 towards depth
// 60. From 64 s the eye and the target fly towards each other and pass, so the camera turns
// round; from 70 s they fly back and pass again. The depths move by a step that itself grows
// with time; each move is scaled by the frame's duration in 1/60 s units, so every frame rate
// flies the path a 60 frames-per-second run flies. The tunnel's picture slides along the tunnel
// by moving the v coordinates of its first object, and the textures' repeat wrap keeps it whole.
//
// The word pictures are drawn under the tunnel camera's transform, not in front of the eye: they
// sit small in the tunnel's world near its origin and show only while the camera looks back.
//
// The glow picture is loaded with the others but not drawn: in the colour the scene gives it
// (0.1, 0.05, 0.05, added to the picture) it lifts a pixel by at most a tenth, against walls
// the fog turns light grey, deepest and lightest where a glow deep in the tunnel would sit; no
// frame could show more than a faint tint.
//
// Fog is on at the end of every frame; the credits and end scenes draw with it.
#include "scenes/tunnel_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "assets/ase_reader.h"
#include "assets/tga_loader.h"
#include "core/demo_state.h"
#include "core/timeline.h"
#include "render/draw_helpers.h"
#include "render/model_renderer.h"
#include "render/outline_font.h"

TunnelState tunnelState;
AseModel tunnelModel;
AseModel starModel;

namespace {
constexpr const char* tunnelModelFile = "models/tunel01/tunel01.ase";
constexpr const char* starModelFile = "models/star01.ase";

constexpr TgaPicture tunnelPictures[] = {
    {TunnelGlowTexture, "maps/destello.tga"},     {TunnelWord1Texture, "maps/langs/vazio.tga"},
    {TunnelWord2Texture, "maps/langs/kara.tga"},  {TunnelWord3Texture, "maps/langs/kara_hiragana.tga"},
    {TunnelLuckTexture, "maps/langs/luck.tga"},   {TunnelWord4Texture, "maps/langs/nullo.tga"},
    {TunnelWord5Texture, "maps/langs/tomorom.tga"}, {TunnelWord6Texture, "maps/langs/vide.tga"},
};

// Lower-left corners of the word rectangles, in the tunnel pass's frame at z = -4.99.
struct TunnelWord {
    TextureId texture;
    float x, y;
};
constexpr TunnelWord tunnelWords[] = {
    {TunnelWord1Texture, -1.0f, 1.45f}, {TunnelWord2Texture, 1.5f, -1.45f},
    {TunnelWord3Texture, -1.3f, -1.0f}, {TunnelWord4Texture, 1.0f, 1.2f},
    {TunnelWord5Texture, -0.5f, 1.0f},  {TunnelWord6Texture, 0.5f, -0.5f},
};
constexpr float wordWidth = 1.8f, wordHeight = 0.4f, wordDepth = -4.99f;

constexpr GLfloat tunnelFogColour[4] = {0.8f, 0.8f, 0.8f, 1.0f};

constexpr float orbitRate = 0.2f;       // orbit angle per second
constexpr float driftRate = 0.02f;      // growth of the drift step per second
constexpr float driftFrames = 60.0f;    // the drift step is a move per 1/60 s
constexpr float scrollRate = 0.2f;      // texture lengths per second

void drawStar(float angle)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glLoadIdentity();
    const Vector3& s = tunnelState.starOffset;
    glTranslatef(s.x, s.y, s.z - 10.0f);
    glRotatef(1000.0f * angle, std::cos(angle), std::sin(angle), std::cos(angle));
    glScalef(0.01f, 0.01f, 0.01f);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawAseModel(starModel, 1, 1, 0, 0, 0, 0);
    glPopMatrix();
}

void drawWords()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    for (const TunnelWord& word : tunnelWords) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBindTexture(GL_TEXTURE_2D, word.texture);
        glEnable(GL_TEXTURE_2D);
        drawTexturedQuad(word.x, word.y, wordDepth, wordWidth, wordHeight, 1.0f, 1.0f);
    }
}

// Slides the tunnel's picture: v grows by the step; a v that has gone below 0 (a rewind) is
// put back to 0 instead.
void scrollTunnelTexture(float dt)
{
    if (tunnelModel.objects.empty()) return;
    AseObject& object = tunnelModel.objects[0];
    const float step = dt * scrollRate;
    const size_t count =
        std::min(object.texVertices.size(), static_cast<size_t>(std::max(object.texVertexCount, 0)));
    for (size_t i = 0; i < count; ++i) {
        float& v = object.texVertices[i].v;
        if (v < 0.0f)
            v = 0.0f;
        else
            v += step;
    }
}
}  // namespace

int tunnelLeg(float t) { return timelineLeg(tunnelLegEnds, t); }

bool loadTunnelScene()
{
    loadAseModel(tunnelModelFile, tunnelModel);
    loadAseModel(starModelFile, starModel);
    return loadTgaTextures(tunnelPictures, std::size(tunnelPictures)) != 0;
}

bool initTunnelScene()
{
    createOutlineFont();
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, demoSettings.width, demoSettings.height);
    setPerspective(45.0, frameAspect(), 0.001, 400.0);
    glLoadIdentity();
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, 0.07f);
    glFogfv(GL_FOG_COLOR, tunnelFogColour);
    return true;
}

bool drawTunnelScene(float t)
{
    if (demoState.playState == Paused) return true;
    TunnelState& s = tunnelState;
    const float dt = t - demoState.previousFrameTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_BLEND);  // the tunnel is opaque; star and words are blended

    const int leg = tunnelLeg(t);
    if (leg < 3) {
        const float c = std::cos(10.0f * s.orbitAngle), sn = std::sin(10.0f * s.orbitAngle);
        s.orbitEye[0] = c;
        s.orbitEye[1] = sn;
        s.starOffset = Vector3{c, sn, 5.0f * sn};
        const float drift = s.driftStep * (dt * driftFrames);
        if (leg == 1) {
            s.eyeDepth += drift;
            s.targetDepth -= drift;
        } else if (leg == 2) {
            s.eyeDepth -= drift;
            s.targetDepth += drift;
        }
    } else {
        demoState.sceneDone = true;
    }
    s.orbitAngle += orbitRate * dt;
    s.driftStep += driftRate * dt;

    // The tunnel, under the camera; its transform stays for the words.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(s.orbitEye[0], s.orbitEye[1], s.eyeDepth, 0.0, 0.0, s.targetDepth, 0.0, 1.0, 0.0);
    glScalef(0.1f, 0.1f, 0.1f);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawAseModel(tunnelModel, 1, 1, 0, 0, 0, 0);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    drawStar(s.orbitAngle);
    drawWords();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_FOG);

    scrollTunnelTexture(dt);
    demoState.previousFrameTime = t;
    flashScreen(56.5f, 60.0f, t, 0.5f);

    if (demoState.showTime) drawTimeOverlay(t);
    if (demoState.showFps) drawFpsOverlay();
    return true;
}

void cleanupTunnelScene()
{
    releaseAseModel(tunnelModel);
    deleteOutlineFont();
}

const Scene tunnelScene = {"tunnel", loadTunnelScene, initTunnelScene, drawTunnelScene, cleanupTunnelScene};
