// The end scene through its real draw: the camera and wall motion up to the end mark, the
// closing text's rise on every frame, rewinds, pauses, and what a frame draws and leaves behind.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "scenes/end_scene.h"
#include "shell/demo_state.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/late_scene_frames.h"

namespace {
class End : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        initEndScene();
    }
    void SetUp() override
    {
        demoState = DemoState{};
        endState = EndState{};
    }
    static void frame(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        drawEndScene(t);
    }
};

TEST_F(End, EverythingMovesUpToTheEndMarkAndOnlyTheTextAfterIt)
{
    frame(187.5f, 188.0f);  // 188.0 itself still moves
    EXPECT_FALSE(demoState.sceneDone);
    EXPECT_NEAR(endState.endEye.x, -0.125f, 1e-5f);
    EXPECT_NEAR(endState.endEye.z, -0.125f, 1e-5f);
    EXPECT_FLOAT_EQ(endState.endEye.y, 0.0f);
    EXPECT_NEAR(endState.wallSpin, 1.0f, 1e-5f);
    EXPECT_NEAR(endState.scrollY, -8.5f + 0.075f, 1e-5f);

    const EndState before = endState;
    frame(188.0f, 188.5f);  // first frame past it: done, drawn, camera and wall still
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_FLOAT_EQ(endState.endEye.x, before.endEye.x);
    EXPECT_FLOAT_EQ(endState.endEye.z, before.endEye.z);
    EXPECT_FLOAT_EQ(endState.wallSpin, before.wallSpin);
    EXPECT_NEAR(endState.scrollY, before.scrollY + 0.075f, 1e-5f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 188.5f);
}

TEST_F(End, SteadyPlayFromTheCreditsEndReachesTheClosingPlaces)
{
    long k = long(std::ceil(130.0 * 60)) + 1;
    demoState.previousFrameTime = demoClockTime(k - 1, 60);
    while (!demoState.sceneDone) drawEndScene(demoClockTime(k++, 60));
    EXPECT_NEAR(endState.endEye.x, -14.5f, 0.05f);
    EXPECT_NEAR(endState.endEye.z, -14.5f, 0.05f);
    EXPECT_NEAR(endState.wallSpin, 116.0f, 0.2f);
    EXPECT_NEAR(endState.scrollY, 0.2f, 0.05f);
}

TEST_F(End, RewindRunsEverythingBackwardsWithoutALowerLimit)
{
    frame(140.0f, 100.0f);  // dt = -40, far below the scene's start
    EXPECT_FALSE(demoState.sceneDone);
    EXPECT_NEAR(endState.endEye.x, 10.0f, 1e-4f);
    EXPECT_NEAR(endState.endEye.z, 10.0f, 1e-4f);
    EXPECT_NEAR(endState.wallSpin, -80.0f, 1e-4f);
    EXPECT_NEAR(endState.scrollY, -8.5f - 6.0f, 1e-4f);
}

TEST_F(End, PausedFrameChangesNothing)
{
    demoState.playState = Paused;
    demoState.previousFrameTime = 150.0f;
    EXPECT_TRUE(drawEndScene(190.0f));
    EXPECT_FALSE(demoState.sceneDone);
    EXPECT_FLOAT_EQ(endState.endEye.x, 0.0f);
    EXPECT_FLOAT_EQ(endState.wallSpin, 0.0f);
    EXPECT_FLOAT_EQ(endState.scrollY, -8.5f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 150.0f);
}

TEST_F(End, FrameDrawsTheWallInLinesAndTheTextFilledAndLeavesFillBehind)
{
    endState.scrollY = -1.0f;  // text in view
    demoState.previousFrameTime = 150.0f;
    int lines = 0, polygons = 0;
    for (const FeedbackItem& item : captureFeedback([] { drawEndScene(150.0f); })) {
        if (item.token == GL_LINE_TOKEN || item.token == GL_LINE_RESET_TOKEN) ++lines;
        if (item.token == GL_POLYGON_TOKEN) ++polygons;
    }
    EXPECT_GT(lines, 100);      // 48 tiles of outlined faces
    EXPECT_GE(polygons, 1);     // the closing text (clipping may split it)
    GLint mode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    EXPECT_EQ(mode[1], GL_FILL);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
}

TEST_F(End, InitSetsTheScenesFogWithoutTouchingWhetherFogIsOn)
{
    glDisable(GL_FOG);
    cleanupEndScene();
    initEndScene();
    EXPECT_FALSE(glIsEnabled(GL_FOG)) << "fog is the draw's to switch on";
    glEnable(GL_FOG);
    glFogf(GL_FOG_DENSITY, 0.07f);
    cleanupEndScene();
    initEndScene();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLfloat density = 0, colour[4] = {};
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_FLOAT_EQ(density, 0.02f);
    EXPECT_FLOAT_EQ(colour[1], 0.8f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
}
}  // namespace
