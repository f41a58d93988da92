// The end scene through its real draw: the camera and wall motion up to the end mark, the
// closing text's rise on every frame, rewinds, pauses, and what a frame draws and leaves behind.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "core/demo_state.h"
#include "scenes/end_scene.h"
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

TEST_F(End, WallTurnsAboutItsAxisThroughTheCorner)
{
    // Every line vertex of the wall, taken back through the camera and the wall's turn, lies on
    // the unturned wall: its tiles span x 0..4.7, y 0..3.5 and z 0..0.025. A turn about any
    // other axis lifts them off that slab.
    endState.endEye = Vector3{-6.0f, 0.0f, -6.0f};
    endState.wallSpin = 60.0f;
    demoState.previousFrameTime = 160.0f;
    const auto items = captureFeedback([] { drawEndScene(160.0f); });
    const GlMatrix view = modelViewFrom([] {
        gluLookAt(-6.0, 0.0, -6.0, 3.0, 3.0, 0.0, 0.0, 1.0, 0.0);
        glRotatef(60.0f, -10.0f, -1.0f, 0.0f);
    });
    GLdouble model[16], projection[16];
    for (int i = 0; i < 16; ++i) model[i] = view[i];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(90.0, 800.0 / 600.0, 0.01, 1000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint viewport[4] = {0, 0, 800, 600};

    int checked = 0;
    for (const FeedbackItem& item : items) {
        if (item.token != GL_LINE_TOKEN && item.token != GL_LINE_RESET_TOKEN) continue;
        for (const FeedbackVertex& v : item.vertices) {
            // Back to window coordinates: the capture read them as its default box (-1..9, depth
            // -10..10), not this scene's perspective.
            const double wx = (v.x + 1.0) / 10.0 * 800.0, wy = (v.y + 1.0) / 10.0 * 600.0;
            const double wz = (10.0 - v.z) / 20.0;
            GLdouble x = 0, y = 0, z = 0;
            ASSERT_TRUE(gluUnProject(wx, wy, wz, model, projection, viewport, &x, &y, &z));
            EXPECT_NEAR(z, 0.0125, 0.03) << x << ", " << y;
            EXPECT_GT(x, -0.03);
            EXPECT_LT(x, 4.73);
            EXPECT_GT(y, -0.03);
            EXPECT_LT(y, 3.53);
            ++checked;
        }
    }
    EXPECT_GT(checked, 200);
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
