// The temple scene's state through its real draw under the offscreen context: the camera's legs
// and their boundaries, the end of the scene, the words' rise and fall windows with steady and
// uneven frames, paused, zero and negative frame durations, the fog, the words drawn with the
// opacity of the frame before, the cleanup that releases the model, and the rehearsal of the
// scenes before the music or over the intro's first frames that leaves nothing behind.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "core/demo_state.h"
#include "render/outline_font.h"
#include "scenes/credits_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "shell/scene_rehearsal.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/scene_frames.h"

namespace {
class Temple : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        initTempleScene();
    }
    void SetUp() override
    {
        demoState = DemoState{};
        templeState = TempleState{};
        templeModel = AseModel{};
    }
    static void frame(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        EXPECT_TRUE(drawTempleScene(t));
    }
};

// Pixel of a point of the word plane (eye space, z = -4.99) under the 45-degree overlay
// projection, origin bottom left.
int wordColumn(float x) { return int(std::lround(400.0 + 400.0 * x / (4.99 * 0.41421356 * 4.0 / 3.0))); }
int wordRow(float y) { return int(std::lround(300.0 + 300.0 * y / (4.99 * 0.41421356))); }

TEST_F(Temple, EachLegMovesTheEyeItsWayUpToAndIncludingItsEnd)
{
    struct Step {
        float t;
        float dx, dy, dz;  // per second
    };
    const Step steps[] = {
        {40.0f, 2, 0, 0},  {40.01f, 0, 0, -3}, {45.0f, 0, 0, -3},  {45.01f, 3, 0, -3},
        {50.0f, 3, 0, -3}, {50.01f, -2, 0.5f, -2}, {55.6f, -2, 0.5f, -2},
    };
    for (const Step& s : steps) {
        templeState = TempleState{};
        frame(s.t - 0.5f, s.t);
        EXPECT_NEAR(templeState.templeEye.x, -2.0f + s.dx * 0.5f, 1e-4f) << s.t;
        EXPECT_NEAR(templeState.templeEye.y, 0.0f + s.dy * 0.5f, 1e-4f) << s.t;
        EXPECT_NEAR(templeState.templeEye.z, 30.0f + s.dz * 0.5f, 1e-4f) << s.t;
        EXPECT_FALSE(demoState.sceneDone) << s.t;
    }

    // Past 55.6: done, the eye stays, the words and the fades still run, the frame is drawn.
    templeState = TempleState{};
    templeState.wordAlpha[5] = 0.8f;
    frame(55.5f, 55.61f);
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_EQ(templeState.templeEye.x, -2.0f);
    EXPECT_EQ(templeState.templeEye.z, 30.0f);
    EXPECT_NEAR(templeState.wordAlpha[5], 0.8f - 0.2f * 0.11f, 1e-5f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 55.61f);
}

TEST_F(Temple, WordsRiseInTheirWindowsAndFallAfterInTurn)
{
    // Steady frames from the scene's start, at two frame rates.
    for (int fps : {70, 60}) {
        templeState = TempleState{};
        demoState = DemoState{};
        float highest[6] = {};
        float highestAt[6] = {};
        bool wordOneWaited = true;
        float wordOneAt39 = -1, wordOneAt42 = -1;
        playFrames(drawTempleScene, 34.8f, 55.6f, fps, [&](float t) {
            const TempleState& s = templeState;
            if (t <= 36.0f && s.wordAlpha[0] != 0.0f) wordOneWaited = false;
            if (std::fabs(t - 39.0f) < 0.5f / fps) wordOneAt39 = s.wordAlpha[0];
            if (std::fabs(t - 42.0f) < 0.5f / fps) wordOneAt42 = s.wordAlpha[0];
            for (int k = 0; k < 6; ++k)
                if (s.wordAlpha[k] > highest[k]) {
                    highest[k] = s.wordAlpha[k];
                    highestAt[k] = t;
                }
        });
        EXPECT_FALSE(demoState.sceneDone) << "55.6 itself still belongs to the scene";
        EXPECT_TRUE(wordOneWaited) << fps;
        EXPECT_NEAR(wordOneAt39, 0.6f, 0.015f) << fps;  // within two clock steps either side
        EXPECT_EQ(wordOneAt42, 0.0f) << fps;
        for (int k = 0; k < 6; ++k) {
            const float peak = k == 5 ? 0.8f : 0.6f;
            EXPECT_LE(highest[k], peak + 1e-5f) << "word " << k + 1 << " at " << fps;
            EXPECT_GT(highest[k], peak - 0.01f) << "word " << k + 1 << " at " << fps;
            EXPECT_NEAR(highestAt[k], templeWords[k].riseEnd, 2.5f / 70.0f) << "word " << k + 1;
        }
        // Words 1 to 4 are gone again by the end; word 5 has just faded out; word 6 is falling.
        for (int k = 0; k < 5; ++k) EXPECT_EQ(templeState.wordAlpha[k], 0.0f) << "word " << k + 1;
        EXPECT_NEAR(templeState.wordAlpha[5], 0.8f - 0.2f * 0.6f, 0.02f);
    }
}

TEST_F(Temple, OpacitiesStayWithinZeroAndOneWhateverTheFrameDurations)
{
    // A long frame inside word 1's window, a rewind, and a frame that jumps far past a window.
    frame(36.5f, 38.9f);
    EXPECT_NEAR(templeState.wordAlpha[0], 0.48f, 1e-5f);
    frame(38.9f, 37.0f);  // rewind inside the window: the rising word goes back down
    EXPECT_NEAR(templeState.wordAlpha[0], 0.1f, 1e-5f);
    frame(37.0f, 36.2f);
    EXPECT_EQ(templeState.wordAlpha[0], 0.0f) << "clamped at 0";
    EXPECT_NEAR(templeState.templeEye.x, -2.0f + 2.0f * (2.4f - 1.9f - 0.8f), 1e-4f);
    templeState.wordAlpha[1] = 0.9f;
    frame(39.5f, 41.5f);  // word 2 rises by 0.4 and stops at 1
    EXPECT_EQ(templeState.wordAlpha[1], 1.0f);
    templeState.wordAlpha[0] = 0.3f;
    frame(41.5f, 52.0f);  // word 1 falls by more than it has
    EXPECT_EQ(templeState.wordAlpha[0], 0.0f);
}

TEST_F(Temple, PausedFrameDrawsAndChangesNothing)
{
    templeState.wordAlpha[0] = 0.3f;
    demoState.playState = Paused;
    demoState.previousFrameTime = 37.0f;
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    EXPECT_TRUE(drawTempleScene(38.0f));
    EXPECT_TRUE(drawTempleScene(60.0f));
    EXPECT_EQ(templeState.wordAlpha[0], 0.3f);
    EXPECT_EQ(templeState.templeEye.x, -2.0f);
    EXPECT_EQ(demoState.previousFrameTime, 37.0f);
    EXPECT_FALSE(demoState.sceneDone);
    EXPECT_EQ(readPixel(400, 300).r, 255);
}

TEST_F(Temple, ZeroDtFrameChangesNothing)
{
    templeState.templeEye = Vector3{5.0f, 1.0f, 12.0f};
    templeState.wordAlpha[1] = 0.4f;
    templeState.wordAlpha[0] = 0.2f;
    frame(41.0f, 41.0f);
    EXPECT_EQ(templeState.templeEye.x, 5.0f);
    EXPECT_EQ(templeState.templeEye.y, 1.0f);
    EXPECT_EQ(templeState.templeEye.z, 12.0f);
    EXPECT_EQ(templeState.wordAlpha[0], 0.2f);
    EXPECT_EQ(templeState.wordAlpha[1], 0.4f);
}

TEST_F(Temple, WordIsDrawnWithTheOpacityOfTheFrameBeforeThroughTheFog)
{
    solidTexture(TempleWord1Texture, 255, 255, 255);
    templeState.wordAlpha[0] = 0.5f;
    frame(37.0f, 37.5f);
    // White fogged at 4.99 units towards grey 0.8, then half over the black frame.
    const float fogged = std::exp(-0.04f * 4.99f) + (1.0f - std::exp(-0.04f * 4.99f)) * 0.8f;
    const Rgb word = readPixel(wordColumn(-0.8f), wordRow(1.65f));
    EXPECT_NEAR(word.r, 255.0f * 0.5f * fogged, 3.0f);
    EXPECT_NEAR(templeState.wordAlpha[0], 0.6f, 1e-5f);
    const Rgb beside = readPixel(wordColumn(-2.0f), wordRow(1.65f));
    EXPECT_LT(beside.r, 3);
}

TEST_F(Temple, TempleIsDrawnTexturedLitAndFogged)
{
    // A blue-textured cube round the origin, 10 units (200 model units) each way: the eye at
    // (-2, 0, 30) sees its +z face 20 units away.
    solidTexture(9301, 0, 0, 255);
    templeModel = texturedCube(200.0f, 9301);
    templeModel.lightCount = 1;
    templeModel.lights.resize(1);
    AseLight& light = templeModel.lights[0];
    light.position[2] = 1.0f;
    light.color[0] = light.color[1] = light.color[2] = 1.0f;
    light.intensity = 1.0f;
    frame(38.0f, 38.0f);
    const Rgb face = readPixel(400, 300);
    const float fog = std::exp(-0.04f * 20.0f);
    EXPECT_NEAR(face.r, 255.0f * 0.8f * (1.0f - fog), 8.0f);
    EXPECT_GT(face.b, face.r + 60) << "the blue texture shows through the fog";
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_EXP);
    GLfloat density = 0, colour[4] = {};
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_FLOAT_EQ(density, 0.04f);
    EXPECT_FLOAT_EQ(colour[0], 0.8f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    cleanupTempleScene();
    ASSERT_EQ(templeModel.objects.size(), 1u);
    EXPECT_TRUE(templeModel.objects[0].vertices.empty());
    EXPECT_TRUE(templeModel.materials.empty());
    initTempleScene();
}
}  // namespace

namespace {
// Levels of the grey screen quads a frame draws (the fades and the flash), in drawing order;
// the renderer may hand a quad back as two triangles.
std::vector<float> screenLevels(float previous, float t)
{
    std::vector<float> levels;
    for (const FeedbackItem& item : captureFeedback([&] {
             demoState.previousFrameTime = previous;
             drawTempleScene(t);
         }))
        if (item.token == GL_POLYGON_TOKEN && item.vertices.size() >= 3 && item.vertices[0].r < 0.999f &&
            item.vertices[0].r == item.vertices[0].g && item.vertices[0].g == item.vertices[0].b &&
            (levels.empty() || levels.back() != item.vertices[0].r))
            levels.push_back(item.vertices[0].r);
    return levels;
}
}  // namespace

TEST_F(Temple, OpensWithAFadeInFromBlackAndAFlash)
{
    // 35.3 s: the fade in from 34.8 to 36.8 s is a quarter through, the flash from 34.8 to 36 s
    // (peak 0.5 at its middle) five twelfths of its way up; at 36.5 s the flash is over.
    std::vector<float> levels = screenLevels(35.25f, 35.3f);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_NEAR(levels[0], 0.25f, 1e-4f);
    EXPECT_NEAR(levels[1], 0.5f * 0.5f / 0.6f, 1e-4f);
    levels = screenLevels(36.45f, 36.5f);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_NEAR(levels[0], 0.85f, 1e-4f);
}

TEST_F(Temple, TempleIsSeenThroughA75DegreeLens)
{
    // A one-triangle stand-in for the temple, in model units (the scene draws at 1/20).
    AseObject probe;
    probe.vertices = {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}};
    probe.vertexCount = 3;
    probe.faces.resize(1);
    probe.faces[0].v[1] = 1;
    probe.faces[0].v[2] = 2;
    probe.faceCount = 1;
    templeModel.objects = {probe};
    templeModel.objectCount = 1;
    std::vector<FeedbackItem> items = captureFeedback([] { frame(39.9f, 40.0f); }, FeedbackView{0, 800, 0, 600});
    templeModel = AseModel{};
    ASSERT_FALSE(items.empty());
    ASSERT_EQ(items[0].token, GLenum(GL_POLYGON_TOKEN));
    ASSERT_EQ(items[0].vertices.size(), 3u);

    // Where a 75-degree perspective from the eye of this frame puts the corners.
    const Vector3 eye = templeState.templeEye;
    GLdouble model[16], projection[16];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(75.0, 800.0 / 600.0, 0.1, 1000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);
    glScalef(0.05f, 0.05f, 0.05f);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    const GLint viewport[4] = {0, 0, 800, 600};
    for (int k = 0; k < 3; ++k) {
        const Vector3& v = probe.vertices[k];
        GLdouble x, y, z;
        gluProject(v.x, v.y, v.z, model, projection, viewport, &x, &y, &z);
        EXPECT_NEAR(items[0].vertices[k].x, x, 0.05) << "corner " << k;
        EXPECT_NEAR(items[0].vertices[k].y, y, 0.05) << "corner " << k;
    }
}

TEST_F(Temple, RehearsalOfEverySceneDrawsUnseenAndPutsEverythingBack)
{
    // All at once before the music, and one cut per frame over the intro's first frames.
    for (const bool perFrame : {false, true}) {
        SCOPED_TRACE(perFrame ? "one cut per frame" : "all at once");
        // As before the music starts, or between two of the intro's frames: the intro's state
        // and font, no fog, a frame time of its own.
        solidTexture(9302, 0, 0, 255);
        templeModel = texturedCube(200.0f, 9302);
        glDisable(GL_FOG);
        glDisable(GL_TEXTURE_2D);
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        createOutlineFont();
        const OutlineFont font = outlineFont;
        demoState.previousFrameTime = 12.5f;
        // Every scene is rehearsed, in order: the records their first frames change (the
        // intro's camera, the tunnel's orbit, the credits' chain) must be as they were afterwards.
        introState = IntroState{};
        tunnelState = TunnelState{};
        creditsState = CreditsState{};
        if (perFrame) {
            scheduleRehearsal();
            for (int frame = 0; frame < 6; ++frame) continueRehearsal();
        } else {
            rehearseScenes();
            continueRehearsal();  // nothing is due
        }
        EXPECT_EQ(introState.tilt, IntroState{}.tilt);
        EXPECT_EQ(introState.mainEyeY, 0.0f);
        EXPECT_EQ(introState.boxCentreX, IntroState{}.boxCentreX);
        EXPECT_EQ(tunnelState.orbitEye[0], 0.0f);
        EXPECT_EQ(creditsState.barCount, 0);
        EXPECT_EQ(creditsState.captionX[0], CreditsState{}.captionX[0]);
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "the rehearsal's scissor box is left on";
        ASSERT_EQ(templeModel.objects.size(), 1u);
        EXPECT_EQ(templeModel.objects[0].faceCount, 12) << "the real run still draws the model";
        EXPECT_FALSE(glIsEnabled(GL_FOG));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat clear[4] = {}, modelview[16] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[2], 0.3f);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_FLOAT_EQ(modelview[0], 1.0f);
        EXPECT_FLOAT_EQ(modelview[14], 0.0f);
        EXPECT_EQ(demoState.previousFrameTime, 12.5f);
        EXPECT_FALSE(demoState.sceneDone);
        EXPECT_EQ(outlineFont.listBase, font.listBase) << "the font in use is kept";
        EXPECT_TRUE(glIsList(font.listBase + 'A')) << "the font in use is not deleted";
        deleteOutlineFont();
    }
    glEnable(GL_FOG);  // as the other cases expect after the scene's init
}
