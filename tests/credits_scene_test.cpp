// The credits scene through its real draw: the chain's growth and opacity cycle, the captions'
// windows, slides, stops and drift back, the end mark, pauses and the fog it draws with.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/demo_state.h"
#include "scenes/credits_scene.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"
#include "support/late_scene_frames.h"

namespace {
// Captions in table order: 1 "3d", 2 "2d", 3 "code", 4 "music", 5 "corvane", 6 "qzr".
constexpr int caption1 = 0, caption3 = 2, caption6 = 5;

class Credits : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openTestGlContext());
        initCreditsScene();
    }
    void SetUp() override
    {
        demoState = DemoState{};
        creditsState = CreditsState{};
        logoBarModel = AseModel{};
    }
    static void frame(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        drawCreditsScene(t);
    }
    // Plays from..to at 60 frames per second on the demo clock's steps (to may lie before from).
    static void play(float from, float to)
    {
        demoState.previousFrameTime = from;
        const long first = long(from * 60.0f + 0.5f), last = long(to * 60.0f + 0.5f);
        const long step = last >= first ? 1 : -1;
        for (long k = first + step; k != last + step; k += step) drawCreditsScene(demoClockTime(k, 60));
    }
    // Lower-left corners (eye x, y) of the caption rectangles one frame draws, in drawing
    // order. Feedback may split a rectangle into triangles; each of them shares the corner.
    static std::vector<std::pair<float, float>> drawnCaptions(float previous, float t)
    {
        demoState.previousFrameTime = previous;
        std::vector<std::pair<float, float>> corners;
        const auto items = captureFeedback([&] { drawCreditsScene(t); }, FeedbackView{-12, 12, -9, 9});
        for (const FeedbackItem& item : items) {
            if (item.token != GL_POLYGON_TOKEN || item.vertices.empty()) continue;
            float x = item.vertices[0].x, y = item.vertices[0].y;
            for (const FeedbackVertex& v : item.vertices) {
                x = std::min(x, v.x);
                y = std::min(y, v.y);
            }
            const bool known = std::any_of(corners.begin(), corners.end(), [&](const auto& c) {
                return std::fabs(c.first - x) < 1e-3f && std::fabs(c.second - y) < 1e-3f;
            });
            if (!known) corners.emplace_back(x, y);
        }
        return corners;
    }
};

TEST_F(Credits, ChainGrowsOneLinkPerFrameToTen)
{
    for (int k = 0; k < 25; ++k) {
        EXPECT_EQ(creditsState.barCount, std::min(k, 10)) << "frame " << k;
        frame(75.0f + k * 0.02f, 75.02f + k * 0.02f);
    }
    EXPECT_EQ(creditsState.barCount, 10);
    EXPECT_NEAR(creditsState.barSpin, 3.0f * 0.02f * 25, 1e-3f);
}

TEST_F(Credits, ChainLinksSitWhereTheirAccumulatedTransformsPutThem)
{
    // The chain is scaled and pushed back, then each link moves and turns on top of the one
    // before it: link i's triangle lies under i such steps.
    logoBarModel = feedbackTriangleModel(10.0f);
    creditsState.barCount = 10;
    creditsState.barSpin = 40.0f;
    demoState.previousFrameTime = 80.0f;  // no caption window open, no time step
    std::vector<FeedbackItem> links;
    for (const FeedbackItem& item :
         captureFeedback([] { drawCreditsScene(80.0f); }, FeedbackView{-2, 2, -2, 2}))
        if (item.token == GL_POLYGON_TOKEN) links.push_back(item);
    ASSERT_EQ(links.size(), 10u);

    GlMatrix m = modelViewFrom([] {
        glScalef(0.05f, 0.05f, 0.05f);
        glTranslatef(-5.0f, 0.0f, -30.0f);
    });
    const auto& corners = logoBarModel.objects[0].vertices;
    for (size_t i = 0; i < links.size(); ++i) {
        m = modelViewFrom([&] {
            glLoadMatrixf(m.data());
            glTranslatef(0.1f, 0.1f, -0.1f);
            glRotatef(40.0f, 1.0f, 0.5f, 0.0f);
        });
        ASSERT_EQ(links[i].vertices.size(), 3u);
        for (size_t k = 0; k < 3; ++k) {
            const FeedbackVertex want = transformed(m, corners[k].x, corners[k].y, corners[k].z);
            EXPECT_NEAR(links[i].vertices[k].x, want.x, 1e-3f) << "link " << i << " corner " << k;
            EXPECT_NEAR(links[i].vertices[k].y, want.y, 1e-3f) << "link " << i << " corner " << k;
            EXPECT_NEAR(links[i].vertices[k].z, want.z, 1e-3f) << "link " << i << " corner " << k;
        }
    }
}

TEST_F(Credits, LinkOpacitiesRunACycleOfTenAndSettleOnceTheChainIsWhole)
{
    // One link at a time: 0.1, 0.2, ... 0.9, a hair above 1, then 0.1 again.
    std::vector<float> given;
    for (int i = 0; i < 30; ++i) {
        given.push_back(creditsState.barAlpha);
        drawLogoBar();
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(given[i], 0.1f * (i + 1), 1e-5f) << i;
        EXPECT_FLOAT_EQ(given[i + 10], given[i]) << i;
        EXPECT_FLOAT_EQ(given[i + 20], given[i]) << i;
        EXPECT_LE(given[i], 1.0f + 1e-5f);
    }

    // Whole frames: 45 links in the first ten frames leave the eleventh starting at 0.6, and
    // every complete frame after that starts there again.
    creditsState = CreditsState{};
    for (int k = 0; k < 10; ++k) frame(75.0f, 75.0f);
    EXPECT_NEAR(creditsState.barAlpha, 0.6f, 1e-5f);
    for (int k = 0; k < 5; ++k) {
        frame(75.0f, 75.0f);
        EXPECT_NEAR(creditsState.barAlpha, 0.6f, 1e-5f);
    }
}

TEST_F(Credits, CaptionWindowsAreOpenAtBothEnds)
{
    frame(84.99f, 85.0f);  // caption 3's window starts after 85
    EXPECT_FLOAT_EQ(creditsState.captionX[caption3], 3.0f);
    frame(85.0f, 85.5f);
    EXPECT_NEAR(creditsState.captionX[caption3], 3.0f - 0.8f * 0.5f, 1e-5f);

    creditsState.captionX[caption3] = -3.5f;
    creditsState.captionX[caption1] = -2.5f;
    frame(99.99f, 100.0f);  // closed at 100: not drawn, drifting back already
    EXPECT_GT(creditsState.captionX[caption3], -3.5f);
    EXPECT_LT(creditsState.captionX[caption1], -2.5f);
}

TEST_F(Credits, CaptionsDrawnOnlyStrictlyInsideTheirWindows)
{
    creditsState.captionX[caption3] = 0.0f;
    EXPECT_TRUE(drawnCaptions(84.9f, 85.0f).empty());  // 85 itself is outside the window

    const auto inside = drawnCaptions(85.0f, 85.01f);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_NEAR(inside[0].first, 0.0f - 0.8f * 0.01f, 1e-3f);
    EXPECT_NEAR(inside[0].second, 1.2f, 1e-3f);

    creditsState.captionX[caption1] = -2.5f;
    creditsState.captionX[caption3] = -3.5f;
    creditsState.captionX[caption6] = -2.0f;
    const auto page = drawnCaptions(99.98f, 99.99f);
    ASSERT_EQ(page.size(), 3u);
    EXPECT_NEAR(page[0].second, 0.0f, 1e-3f);   // caption 1
    EXPECT_NEAR(page[1].second, 1.2f, 1e-3f);   // caption 3
    EXPECT_NEAR(page[2].second, -1.2f, 1e-3f);  // caption 6
    EXPECT_TRUE(drawnCaptions(99.99f, 100.0f).empty());
}

TEST_F(Credits, CaptionsSlideInAndRestAtTheirStops)
{
    play(75.0f, 99.9f);
    EXPECT_FLOAT_EQ(creditsState.captionX[caption3], -3.5f);  // at rest since about 93.1 s
    EXPECT_FLOAT_EQ(creditsState.captionX[caption1], -2.5f);  // reached at about 99.3 s
    EXPECT_NEAR(creditsState.captionX[caption6], 3.0f - 0.5f * 9.9f, 0.02f);  // still moving
    EXPECT_FLOAT_EQ(creditsState.captionX[1], -9.0f);  // second page not started
    play(99.9f, 119.9f);
    EXPECT_FLOAT_EQ(creditsState.captionX[3], -3.5f);            // caption 4
    EXPECT_FLOAT_EQ(creditsState.captionX[1], -3.0f);            // caption 2
    EXPECT_NEAR(creditsState.captionX[4], -2.0f + 0.05f, 0.02f);  // caption 5, near -2 at 120
}

TEST_F(Credits, CaptionsDriftBackAfterTheirWindowAndRewindingFindsThemThere)
{
    play(75.0f, 105.0f);
    EXPECT_NEAR(creditsState.captionX[caption3], -3.5f + 0.8f * 5.0f, 0.05f);
    EXPECT_NEAR(creditsState.captionX[caption1], -2.5f - 0.7f * 5.0f, 0.05f);
    EXPECT_NEAR(creditsState.captionX[caption6], -2.0f + 0.5f * 5.0f, 0.05f);
    EXPECT_FLOAT_EQ(creditsState.captionX[3], 3.0f);  // caption 4's window not yet open

    // A jump back into the window shows the caption where it has drifted to, moved by the
    // frame's (negative) step; played forward it slides in from there again.
    const float drifted = creditsState.captionX[caption3];
    const auto shown = drawnCaptions(105.0f, 99.0f);
    const float back = drifted + 0.8f * 6.0f;
    EXPECT_NEAR(creditsState.captionX[caption3], back, 1e-3f);
    bool found = false;
    for (const auto& corner : shown) found = found || std::fabs(corner.second - 1.2f) < 1e-3f;
    EXPECT_TRUE(found);
    frame(99.0f, 99.5f);
    EXPECT_NEAR(creditsState.captionX[caption3], back - 0.4f, 1e-3f);
}

TEST_F(Credits, SceneEndsOnlyPastItsEndMark)
{
    frame(129.99f, 130.0f);
    EXPECT_FALSE(demoState.sceneDone);
    frame(130.0f, 130.01f);
    EXPECT_TRUE(demoState.sceneDone);
    EXPECT_EQ(creditsState.barCount, 2);  // that frame was still drawn in full
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 130.01f);
}

TEST_F(Credits, InitSetsTheBlueWhiteExponentialFog)
{
    const GLfloat black[4] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_DENSITY, 0.5f);
    glFogfv(GL_FOG_COLOR, black);
    cleanupCreditsScene();
    initCreditsScene();
    GLint mode = 0;
    GLfloat density = 0, colour[4] = {};
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, colour);
    EXPECT_EQ(mode, GL_EXP);
    EXPECT_FLOAT_EQ(density, 0.02f);
    EXPECT_FLOAT_EQ(colour[0], 0.8f);
    EXPECT_FLOAT_EQ(colour[1], 0.8f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
}

TEST_F(Credits, PausedFrameChangesNothing)
{
    creditsState.barCount = 4;
    demoState.playState = Paused;
    demoState.previousFrameTime = 90.0f;
    EXPECT_TRUE(drawCreditsScene(95.0f));
    EXPECT_EQ(creditsState.barCount, 4);
    EXPECT_FLOAT_EQ(creditsState.barSpin, 0.0f);
    EXPECT_FLOAT_EQ(creditsState.barAlpha, 0.1f);
    EXPECT_FLOAT_EQ(creditsState.captionX[caption3], 3.0f);
    EXPECT_FLOAT_EQ(demoState.previousFrameTime, 90.0f);
    EXPECT_TRUE(drawCreditsScene(140.0f));
    EXPECT_FALSE(demoState.sceneDone);
}
}  // namespace
