// The tunnel scene's state through its real draw: legs and their boundaries, the depth drift at
// different frame rates, the orbit, the texture scroll and its clamp, pauses, and the GL state
// the scene leaves for the credits.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/demo_state.h"
#include "scenes/tunnel_scene.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/late_scene_frames.h"
#include "support/scene_frames.h"

namespace {
class Tunnel : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        initTunnelScene();
    }
    void SetUp() override
    {
        demoState = DemoState{};
        tunnelState = TunnelState{};
        tunnelModel = AseModel{};
    }
    // One object carrying the given v coordinates and no faces.
    static void giveTunnelTexVertices(const std::vector<float>& vs)
    {
        tunnelModel = AseModel{};
        tunnelModel.objectCount = 1;
        tunnelModel.objects.resize(1);
        AseObject& object = tunnelModel.objects[0];
        object.texVertexCount = static_cast<int>(vs.size());
        for (float v : vs) object.texVertices.push_back(TexVertex{0.5f, v});
    }
    static float v(int i) { return tunnelModel.objects[0].texVertices[i].v; }
    static void frame(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        drawTunnelScene(t);
    }
};

// A model of one textured square in renderer axes: corners (x0, y0) to (x1, y1) at depth z,
// its material bound to texture.
AseModel squareModel(float x0, float y0, float x1, float y1, float z, TextureId texture)
{
    AseModel model;
    model.objectCount = 1;
    model.materialCount = 1;
    model.materials.resize(1);
    model.materials[0].hasBitmap = 1;
    model.materials[0].texture = texture;
    model.objects.resize(1);
    AseObject& object = model.objects[0];
    object.materialRef = 0;
    object.vertices = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
    object.texVertices = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    object.vertexCount = object.texVertexCount = 4;
    AseFace a, b;
    a.v[0] = a.t[0] = 0, a.v[1] = a.t[1] = 1, a.v[2] = a.t[2] = 2;
    b.v[0] = b.t[0] = 0, b.v[1] = b.t[1] = 2, b.v[2] = b.t[2] = 3;
    object.faces = {a, b};
    object.faceCount = object.texFaceCount = 2;
    return model;
}

TEST_F(Tunnel, StarShowsInFrontOfTheTunnelWallAndBothAreFogged)
{
    // A blue wall 5 units ahead of the eye (depth 35 at the tunnel's 0.1 scale) and a red star
    // 10 units ahead: the star is drawn without depth test, so it covers the nearer wall.
    solidTexture(9101, 0, 0, 255);
    solidTexture(9102, 255, 0, 0);
    tunnelModel = squareModel(-500, -500, 500, 500, 350, 9101);
    starModel = squareModel(-50, -50, 50, 50, 0, 9102);
    frame(61.0f, 61.0f);  // angle 0: eye (1, 0, 30), star at (1, 0, -10) in eye space
    const Rgb star = readPixel(472, 300), wall = readPixel(100, 100);
    EXPECT_GT(star.r, 200);
    EXPECT_LT(star.b, 140);
    EXPECT_GT(star.g, 60);  // half fogged towards grey at 10 units
    EXPECT_GT(wall.b, 200);
    EXPECT_GT(wall.r, 30);  // a third fogged at 5 units
    EXPECT_LT(wall.r, 100);
    starModel = AseModel{};
}

TEST_F(Tunnel, StarSpinsWithTheOrbitAndWordsSitNearTheTunnelsOrigin)
{
    // A triangle star, and the camera brought near the origin looking back, where the words are.
    starModel = feedbackTriangleModel(100.0f);
    const float angle = 0.15708f;  // the orbit a quarter turn round: the star 5 units nearer
    tunnelState.orbitAngle = angle;
    tunnelState.eyeDepth = 2.0f;
    tunnelState.targetDepth = -10.0f;
    demoState.previousFrameTime = 61.0f;
    const auto items = captureFeedback([] { drawTunnelScene(61.0f); }, FeedbackView{-4, 4, -4, 4});
    starModel = AseModel{};
    ASSERT_FALSE(items.empty());
    ASSERT_EQ(items[0].vertices.size(), 3u);  // the star comes first: the tunnel has no faces

    const float c = std::cos(10.0f * angle), sn = std::sin(10.0f * angle);
    const GlMatrix star = modelViewFrom([&] {
        glTranslatef(c, sn, 5.0f * sn - 10.0f);
        glRotatef(1000.0f * angle, std::cos(angle), std::sin(angle), std::cos(angle));
        glScalef(0.01f, 0.01f, 0.01f);
    });
    for (int k = 0; k < 3; ++k) {
        const FeedbackVertex want = transformed(star, k == 0 ? 100.0f : 0.0f, k == 1 ? 100.0f : 0.0f,
                                                k == 2 ? 100.0f : 0.0f);
        EXPECT_NEAR(items[0].vertices[k].x, want.x, 1e-3f) << k;
        EXPECT_NEAR(items[0].vertices[k].y, want.y, 1e-3f) << k;
        EXPECT_NEAR(items[0].vertices[k].z, want.z, 1e-3f) << k;
    }

    const GlMatrix world = modelViewFrom([&] {
        gluLookAt(c, sn, 2.0, 0.0, 0.0, -10.0, 0.0, 1.0, 0.0);
        glScalef(0.1f, 0.1f, 0.1f);
    });
    const float words[6][2] = {{-1.0f, 1.45f}, {1.5f, -1.45f}, {-1.3f, -1.0f},
                               {1.0f, 1.2f},   {-0.5f, 1.0f},  {0.5f, -0.5f}};
    const std::vector<FeedbackItem> drawnWords(items.begin() + 1, items.end());
    for (const auto& w : words)
        for (const float dx : {0.0f, 1.8f})
            for (const float dy : {0.0f, 0.4f})
                EXPECT_TRUE(hasVertexNear(drawnWords, transformed(world, w[0] + dx, w[1] + dy, -4.99f), 1e-3f))
                    << "word at " << w[0] << ", " << w[1] << " corner +" << dx << ", +" << dy;
}

TEST_F(Tunnel, GlowPictureIsLoadedButNeverDrawn)
{
    // Over an even blue wall, a white glow picture would show wherever a square was drawn with
    // it: the frames from the scene's start, when such a square would still lie near the eye
    // and add a tenth of white, stay one colour but for the level the fog's slope gives.
    solidTexture(9101, 0, 0, 255);
    solidTexture(TunnelGlowTexture, 255, 255, 255);
    tunnelModel = squareModel(-500, -500, 500, 500, 350, 9101);
    for (float t : {55.65f, 55.7f, 55.8f, 56.0f}) {
        frame(t - 0.05f, t);
        const Rgb upperRight = readPixel(600, 450), lowerLeft = readPixel(200, 150);
        EXPECT_NEAR(upperRight.r, lowerLeft.r, 3) << t;
        EXPECT_NEAR(upperRight.g, lowerLeft.g, 3) << t;
    }
}

TEST_F(Tunnel, LegsCountTheEndsTheTimeStrictlyExceeds)
{
    EXPECT_EQ(tunnelLeg(55.6f), 0);
    EXPECT_EQ(tunnelLeg(64.0f), 0);
    EXPECT_EQ(tunnelLeg(64.01f), 1);
    EXPECT_EQ(tunnelLeg(70.0f), 1);
    EXPECT_EQ(tunnelLeg(70.01f), 2);
    EXPECT_EQ(tunnelLeg(75.0f), 2);
    EXPECT_EQ(tunnelLeg(75.01f), 3);
}

TEST_F(Tunnel, DepthsMoveOnlyInsideTheFlightLegsAndInOppositeDirections)
{
    tunnelState.driftStep = 0.2f;
    frame(63.99f, 64.0f);  // last frame of leg 0
    EXPECT_FLOAT_EQ(tunnelState.eyeDepth, 30.0f);
    EXPECT_FLOAT_EQ(tunnelState.targetDepth, 60.0f);

    const float before = tunnelState.driftStep;
    frame(64.0f, 64.01f);  // leg 1: eye forward, target back
    const float move = before * 0.01f * 60.0f;
    EXPECT_NEAR(tunnelState.eyeDepth, 30.0f + move, 1e-4f);
    EXPECT_NEAR(tunnelState.targetDepth, 60.0f - move, 1e-4f);

    tunnelState.eyeDepth = 50.0f;
    tunnelState.targetDepth = 40.0f;
    const float before2 = tunnelState.driftStep;
    frame(70.0f, 70.02f);  // leg 2: eye back, target forward
    const float move2 = before2 * 0.02f * 60.0f;
    EXPECT_NEAR(tunnelState.eyeDepth, 50.0f - move2, 1e-4f);
    EXPECT_NEAR(tunnelState.targetDepth, 40.0f + move2, 1e-4f);

    frame(74.99f, 75.0f);
    EXPECT_FALSE(demoState.sceneDone);
    const TunnelState last = tunnelState;
    frame(75.0f, 75.01f);  // past the last leg: done, drawn, nothing placed or flown
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_FLOAT_EQ(tunnelState.eyeDepth, last.eyeDepth);
    EXPECT_FLOAT_EQ(tunnelState.targetDepth, last.targetDepth);
    EXPECT_FLOAT_EQ(tunnelState.orbitEye[0], last.orbitEye[0]);
    EXPECT_FLOAT_EQ(tunnelState.starOffset.z, last.starOffset.z);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 75.01f);
}

TEST_F(Tunnel, ZeroDtFrameMovesNothing)
{
    giveTunnelTexVertices({0.25f, 1.5f});
    tunnelState.driftStep = 0.3f;
    tunnelState.orbitAngle = 2.0f;
    frame(66.0f, 66.0f);  // the clock did not tick between two draws
    EXPECT_FLOAT_EQ(tunnelState.orbitAngle, 2.0f);
    EXPECT_FLOAT_EQ(tunnelState.driftStep, 0.3f);
    EXPECT_FLOAT_EQ(tunnelState.eyeDepth, 30.0f);
    EXPECT_FLOAT_EQ(tunnelState.targetDepth, 60.0f);
    EXPECT_FLOAT_EQ(v(0), 0.25f);
    EXPECT_FLOAT_EQ(v(1), 1.5f);
}

TEST_F(Tunnel, RewindTurnsBackAndNegativeVIsClampedNextFrame)
{
    giveTunnelTexVertices({0.05f, 1.0f, -0.3f});
    tunnelState.orbitAngle = 1.0f;
    tunnelState.driftStep = 0.5f;
    frame(66.0f, 65.5f);  // dt = -0.5
    // The eye and the star circle ten times as fast as the orbit angle, from its value
    // before this frame's step.
    EXPECT_NEAR(tunnelState.orbitEye[0], std::cos(10.0f), 1e-5f);
    EXPECT_NEAR(tunnelState.orbitEye[1], std::sin(10.0f), 1e-5f);
    EXPECT_NEAR(tunnelState.starOffset.z, 5.0f * std::sin(10.0f), 1e-5f);
    EXPECT_NEAR(tunnelState.orbitAngle, 1.0f - 0.1f, 1e-6f);
    EXPECT_NEAR(tunnelState.driftStep, 0.5f - 0.01f, 1e-6f);
    EXPECT_LT(tunnelState.eyeDepth, 30.0f);  // leg 1 flown backwards
    EXPECT_NEAR(v(0), 0.05f - 0.1f, 1e-6f);  // moved below 0 this frame
    EXPECT_NEAR(v(1), 0.9f, 1e-6f);
    EXPECT_FLOAT_EQ(v(2), 0.0f);             // was below 0: set to 0, not moved

    frame(65.5f, 66.0f);  // forward again: the negative one is set to 0 instead of moving
    EXPECT_FLOAT_EQ(v(0), 0.0f);
    EXPECT_NEAR(v(1), 1.0f, 1e-6f);
    EXPECT_NEAR(v(2), 0.1f, 1e-6f);
}

TEST_F(Tunnel, ScrollHandlesMissingOrShortTextureTables)
{
    frame(60.0f, 60.1f);  // no objects at all
    giveTunnelTexVertices({0.0f});
    tunnelModel.objects[0].texVertexCount = 5;  // count larger than the table
    frame(60.1f, 60.6f);
    EXPECT_NEAR(v(0), 0.1f, 1e-6f);
    EXPECT_EQ(tunnelModel.objects[0].texVertices.size(), 1u);
}

TEST_F(Tunnel, PausedFrameChangesNothing)
{
    giveTunnelTexVertices({0.5f});
    tunnelState.driftStep = 0.4f;
    demoState.playState = Paused;
    demoState.previousFrameTime = 65.0f;
    EXPECT_TRUE(drawTunnelScene(66.0f));
    EXPECT_FLOAT_EQ(tunnelState.eyeDepth, 30.0f);
    EXPECT_FLOAT_EQ(tunnelState.orbitAngle, 0.0f);
    EXPECT_FLOAT_EQ(tunnelState.driftStep, 0.4f);
    EXPECT_FLOAT_EQ(v(0), 0.5f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 65.0f);
    EXPECT_TRUE(drawTunnelScene(80.0f));
    EXPECT_FALSE(demoState.sceneDone);
}

// The eye's flight from the scene's start at 55.6 s, drawn at the given frame rate with the
// demo clock's 1/70 s steps; the eye's depth after the frames at 70 s and 75 s.
struct Flight {
    float eyeAt70 = 0, eyeAt75 = 0, targetAt70 = 0;
};
Flight fly(int fps)
{
    demoState = DemoState{};
    tunnelState = TunnelState{};
    Flight flight;
    long frame = static_cast<long>(std::ceil(55.6 * fps));
    demoState.previousFrameTime = demoClockTime(frame - 1, fps);
    while (!demoState.sceneDone) {
        const float t = demoClockTime(frame++, fps);
        drawTunnelScene(t);
        if (t == 70.0f) {
            flight.eyeAt70 = tunnelState.eyeDepth;
            flight.targetAt70 = tunnelState.targetDepth;
        }
        if (t == 75.0f) flight.eyeAt75 = tunnelState.eyeDepth;
    }
    return flight;
}

TEST_F(Tunnel, EveryFrameRateFliesTheSamePath)
{
    const Flight at60 = fly(60);
    std::printf("60 fps: eye %.2f at 70 s, %.2f at 75 s\n", at60.eyeAt70, at60.eyeAt75);
    // The eye flies about 82 units into the tunnel and passes the target, then flies back past
    // it again towards the entrance.
    EXPECT_NEAR(at60.eyeAt70, 30.0f + 82.0f, 1.5f);
    EXPECT_LT(at60.targetAt70, at60.eyeAt70);
    EXPECT_NEAR(at60.eyeAt75, 10.7f, 1.5f);
    for (int fps : {30, 240}) {
        const Flight other = fly(fps);
        EXPECT_NEAR(other.eyeAt70, at60.eyeAt70, 0.5f) << fps << " frames per second";
        EXPECT_NEAR(other.eyeAt75, at60.eyeAt75, 0.5f) << fps << " frames per second";
    }
}

TEST_F(Tunnel, FrameLeavesFogOnWithTheTunnelsColourAndDepthTestOn)
{
    frame(57.0f, 57.1f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat colour[4] = {};
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.8f);
    EXPECT_FLOAT_EQ(colour[2], 0.8f);
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    EXPECT_EQ(mode, GL_EXP);
}

}  // namespace
