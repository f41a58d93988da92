// The intro scene's state through its real draw under the offscreen context: legs and their
// boundaries, the title bars, lines and tilt stopping exactly at their limits, paused, zero and
// negative frame durations, and the landscape copied onto the tile wall in front of the box room.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/demo_state.h"
#include "render/draw_helpers.h"
#include "scenes/intro_scene.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/scene_frames.h"

namespace {
class Intro : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        loadIntroScene();  // no data here: an empty landscape, pictures without images
        initIntroScene();
    }
    void SetUp() override
    {
        demoState = DemoState{};
        introState = IntroState{};
        landscapeModel = AseModel{};
    }
    static void frame(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        EXPECT_TRUE(drawIntroScene(t));
    }
    // Fills the back buffer with one colour, to tell whether a draw touched it.
    static void fillFrame(float r, float g, float b)
    {
        GLfloat old[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, old);
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(old[0], old[1], old[2], old[3]);
    }
};

void expectSameState(const IntroState& a, const IntroState& b)
{
    EXPECT_EQ(a.landscapeEye.x, b.landscapeEye.x);
    EXPECT_EQ(a.landscapeEye.y, b.landscapeEye.y);
    EXPECT_EQ(a.landscapeEye.z, b.landscapeEye.z);
    EXPECT_EQ(a.tilt, b.tilt);
    EXPECT_EQ(a.mainEyeY, b.mainEyeY);
    EXPECT_EQ(a.mainEyeZ, b.mainEyeZ);
    EXPECT_EQ(a.mainCentreX, b.mainCentreX);
    EXPECT_EQ(a.boxAngle, b.boxAngle);
    EXPECT_EQ(a.boxCentreX, b.boxCentreX);
    EXPECT_EQ(a.boxCentreY, b.boxCentreY);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.barOffset[i], b.barOffset[i]) << "bar " << i + 1;
        EXPECT_EQ(a.lineLength[i], b.lineLength[i]) << "line " << i + 1;
    }
    EXPECT_EQ(a.logoAlpha, b.logoAlpha);
    EXPECT_EQ(a.creditAlpha, b.creditAlpha);
}

TEST_F(Intro, EachLegMovesTheLandscapeEyeItsWayUpToAndIncludingItsEnd)
{
    struct Step {
        float t;
        float dx, dy, dz;  // per second
        bool textsRise;
    };
    const Step steps[] = {
        {8.0f, -13, 10, 10, false},  {8.01f, -8, 0, 10, false},  {16.3f, -8, 0, 10, false},
        {16.31f, 10, 0, -10, false}, {25.5f, 10, 0, -10, false}, {25.51f, 10, 0, -10, true},
        {34.8f, 10, 0, -10, true},
    };
    for (const Step& s : steps) {
        introState = IntroState{};
        frame(s.t - 0.5f, s.t);
        EXPECT_NEAR(introState.landscapeEye.x, 0.0f + s.dx * 0.5f, 1e-4f) << s.t;
        EXPECT_NEAR(introState.landscapeEye.y, 5.0f + s.dy * 0.5f, 1e-4f) << s.t;
        EXPECT_NEAR(introState.landscapeEye.z, -5.0f + s.dz * 0.5f, 1e-4f) << s.t;
        EXPECT_NEAR(introState.logoAlpha, s.textsRise ? 0.05f : 0.0f, 1e-6f) << s.t;
        EXPECT_NEAR(introState.creditAlpha, s.textsRise ? 0.05f : 0.0f, 1e-6f) << s.t;
        EXPECT_FALSE(demoState.sceneDone) << s.t;
    }

    // The first frame past 34.8: done, still drawn in full, the eye and the texts left alone.
    introState = IntroState{};
    fillFrame(1, 0, 0);
    frame(34.8f, 34.81f);
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_EQ(introState.landscapeEye.x, 0.0f);
    EXPECT_EQ(introState.logoAlpha, 0.0f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 34.81f);
    EXPECT_LT(readPixel(400, 300).r, 60) << "the frame was not cleared and drawn";
}

TEST_F(Intro, BarsLinesAndTiltStopExactlyAtTheirLimits)
{
    const float barEnds[4] = {2.5f, 2.35f, 1.85f, 0.8f};
    const float lineEnds[4] = {5.1f, 0.38f, 1.85f, 3.5f};
    const float barRates[4] = {0.4f, 0.3f, 0.35f, 0.3f};
    const float lineRates[4] = {0.4f, 0.2f, 0.4f, 0.4f};
    // One half-second frame moves every bar towards its end and lengthens lines 1 and 4 at
    // their own rates; lines 2 and 3 at theirs once line 1 is past 3.25.
    frame(1.0f, 1.5f);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(introState.barOffset[i], 4.0f - 0.5f * barRates[i], 1e-5f) << "bar " << i + 1;
    introState.lineLength[0] = 3.3f;
    frame(1.5f, 2.0f);
    for (int i = 0; i < 4; ++i) {
        const float before = i == 0 ? 3.3f : i == 3 ? 0.5f * lineRates[3] : 0.0f;
        EXPECT_NEAR(introState.lineLength[i], before + 0.5f * lineRates[i], 1e-5f) << "line " << i + 1;
    }
    introState = IntroState{};
    const float step = 1.0f / 60.0f + 1.0f / 70.0f;  // the longest frame at 60 fps
    bool linesWaited = true, withinAStep = true;
    float lineTwoStart = -1.0f;  // line 1's length in the frame before line 2 starts
    IntroState before = introState;
    playFrames(drawIntroScene, 0.0f, 20.0f, 60, [&](float t) {
        const IntroState& s = introState;
        // Lines 2 and 3 wait for line 1 to pass 3.25, then start from 0.
        if (s.lineLength[0] <= 3.25f && (s.lineLength[1] != 0.0f || s.lineLength[2] != 0.0f))
            linesWaited = false;
        if (before.lineLength[1] == 0.0f && s.lineLength[1] > 0.0f) lineTwoStart = before.lineLength[0];
        for (int i = 0; i < 4; ++i) {
            if (s.barOffset[i] < barEnds[i] - barRates[i] * step) withinAStep = false;
            if (s.lineLength[i] > lineEnds[i] + lineRates[i] * step) withinAStep = false;
        }
        if (s.tilt < -3.5f * step) withinAStep = false;
        if (std::fabs(t - 3.7f) < 1e-4f) {
            EXPECT_GT(s.barOffset[0], 2.5f);
        }
        if (std::fabs(t - 12.5f) < 1e-4f) {
            EXPECT_GT(s.tilt, 0.0f);
        }
        before = s;
    });
    EXPECT_TRUE(linesWaited);
    EXPECT_TRUE(withinAStep) << "a value overshot its limit by more than one step";
    EXPECT_GT(lineTwoStart, 3.25f - 0.4f * step);
    EXPECT_LE(lineTwoStart, 3.25f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(introState.barOffset[i], barEnds[i]) << "bar " << i + 1;
        EXPECT_EQ(introState.lineLength[i], lineEnds[i]) << "line " << i + 1;
    }
    EXPECT_EQ(introState.tilt, 0.0f);
    EXPECT_NEAR(introState.mainEyeZ, 45.0f / 3.5f * 0.2f, 0.01f);
    EXPECT_EQ(introState.mainEyeY, 1.7f);
    EXPECT_EQ(introState.mainCentreX, 2.3f);
    // About 45 / 3.5 s in the tilt was still under way; the eye stopped with it.
    const float eyeZ = introState.mainEyeZ;
    frame(20.0f, 21.0f);
    EXPECT_EQ(introState.mainEyeZ, eyeZ);
    EXPECT_EQ(introState.barOffset[0], 2.5f);
}

TEST_F(Intro, PausedFrameDrawsAndChangesNothing)
{
    introState.tilt = 20.0f;
    introState.barOffset[0] = 3.0f;
    introState.boxAngle = 1.0f;
    const IntroState before = introState;
    demoState.playState = Paused;
    demoState.previousFrameTime = 9.0f;
    fillFrame(1, 0, 0);
    EXPECT_TRUE(drawIntroScene(10.0f));
    EXPECT_TRUE(drawIntroScene(40.0f));
    expectSameState(introState, before);
    EXPECT_EQ(demoState.previousFrameTime, 9.0f);
    EXPECT_FALSE(demoState.sceneDone);
    const Rgb p = readPixel(400, 300);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
}

TEST_F(Intro, ZeroDtFrameSetsOnlyTheFixedValuesAndTheBoxCentre)
{
    introState.tilt = 20.0f;
    introState.mainEyeZ = 1.0f;
    introState.barOffset[0] = 3.0f;
    introState.lineLength[0] = 4.0f;
    introState.boxAngle = 1.0f;
    IntroState expected = introState;
    expected.mainEyeY = 1.7f;
    expected.mainCentreX = 2.3f;
    expected.boxCentreX = (std::sin(1.0f) - 1.0f) * 4.0f;
    expected.boxCentreY = (std::cos(1.0f) - 1.0f) * 4.0f;
    frame(27.0f, 27.0f);
    expectSameState(introState, expected);
}

TEST_F(Intro, NegativeDtRunsTheMotionsStillUnderWayBackwards)
{
    introState.tilt = 20.0f;
    introState.mainEyeZ = 1.0f;
    introState.barOffset[0] = 2.5f;  // finished: stays
    introState.barOffset[1] = 3.0f;
    introState.lineLength[0] = 2.0f;
    introState.boxAngle = 1.0f;
    frame(6.0f, 5.5f);
    EXPECT_NEAR(introState.tilt, 20.0f + 3.5f * 0.5f, 1e-5f);
    EXPECT_NEAR(introState.mainEyeZ, 1.0f - 0.1f, 1e-6f);
    EXPECT_EQ(introState.barOffset[0], 2.5f);
    EXPECT_NEAR(introState.barOffset[1], 3.0f + 0.15f, 1e-6f);
    EXPECT_NEAR(introState.lineLength[0], 2.0f - 0.2f, 1e-6f);
    EXPECT_NEAR(introState.boxAngle, 1.0f - 0.65f, 1e-6f);
    EXPECT_NEAR(introState.landscapeEye.x, 6.5f, 1e-5f);
    EXPECT_NEAR(introState.landscapeEye.z, -10.0f, 1e-5f);
}

TEST_F(Intro, WallShowsTheLandscapePassInTilesInFrontOfTheBoxRoom)
{
    // A white cube round the landscape camera: the pass is tinted (1, 0.6, 0.6) everywhere. The
    // box room is solid green; the wall has swung into place. Drawn into the texture, then (as
    // on a driver without framebuffer objects) into the frame's corner and copied.
    solidTexture(9201, 255, 255, 255);
    solidTexture(IntroBoxTexture, 0, 255, 0);
    landscapeModel = texturedCube(3000.0f, 9201);
    ASSERT_TRUE(textureTargetReady(landscapeTarget));
    for (bool intoTexture : {true, false}) {
        SCOPED_TRACE(intoTexture ? "drawn into the texture" : "copied from the frame");
        if (!intoTexture) deleteTextureTarget(landscapeTarget);
        introState = IntroState{};
        introState.tilt = 0.0f;
        introState.mainEyeZ = 2.57f;
        introState.mainEyeY = 1.7f;
        introState.mainCentreX = 2.3f;
        frame(20.0f, 20.0f);
        // Eye (2.3, 1.7, 2.57) looks along -z with 90 degrees vertical: x = 0.25 (first column's
        // middle), 0.55 (the gap after it) and -0.6 (left of the wall), at y = 1.45 (third row).
        auto column = [](float x) { return int(std::lround(400.0 + 400.0 * (x - 2.3) / (2.57 * 4.0 / 3.0))); };
        const int row = int(std::lround(300.0 + 300.0 * (1.45 - 1.7) / 2.57));
        const Rgb tile = readPixel(column(0.25f), row), gap = readPixel(column(0.55f), row),
                  outside = readPixel(column(-0.6f), row);
        EXPECT_NEAR(tile.r, 255, 3);
        EXPECT_NEAR(tile.g, 153, 3);
        EXPECT_NEAR(tile.b, 153, 3);
        EXPECT_LT(gap.r, 10);
        EXPECT_GT(gap.g, 240);
        EXPECT_LT(outside.r, 10);
        EXPECT_GT(outside.g, 240);
        // The landscape pass itself is gone from the corner: the far right tile shows the copy too.
        const Rgb right = readPixel(column(4.45f), row);
        EXPECT_NEAR(right.g, 153, 3);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 800);
        EXPECT_EQ(viewport[3], 600);
        GLfloat clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[2], 0.2f);  // the dark blue for the next landscape pass
    }
    createTextureTarget(landscapeTarget, copyTexture[0], 512);
}
}  // namespace

TEST_F(Intro, BoxRoomFloorAndCeilingCloseTheRoom)
{
    // The room seen from outside: floor and ceiling lie flat at y = -5 and y = 5 over the whole
    // square the walls stand on (shifted by 5 towards the viewer to stay within depth).
    const auto items = captureFeedback(
        [] {
            glPushMatrix();
            glTranslatef(0.0f, 0.0f, 5.0f);
            drawBoxRoom();
            glPopMatrix();
        },
        FeedbackView{-12, 12, -12, 12});
    for (float level : {-5.0f, 5.0f}) {
        float x0 = 99, x1 = -99, z0 = 99, z1 = -99;
        for (const FeedbackItem& item : items) {
            if (item.token != GL_POLYGON_TOKEN) continue;
            const bool flat = std::all_of(item.vertices.begin(), item.vertices.end(),
                                          [&](const FeedbackVertex& v) { return std::abs(v.y - level) < 1e-3f; });
            if (!flat) continue;
            for (const FeedbackVertex& v : item.vertices) {
                x0 = std::min(x0, v.x), x1 = std::max(x1, v.x);
                z0 = std::min(z0, v.z), z1 = std::max(z1, v.z);
            }
        }
        EXPECT_NEAR(x0, -5.0f, 1e-3f) << "y = " << level;
        EXPECT_NEAR(x1, 5.0f, 1e-3f) << "y = " << level;
        EXPECT_NEAR(z0, -5.0f, 1e-2f) << "y = " << level;
        EXPECT_NEAR(z1, 5.0f, 1e-2f) << "y = " << level;
    }
}
