// The outline font and the two overlays: printed strings, centring, placement, kept state and
// rebuilding for the next scene.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

#include "platform/glyph_outlines.h"
#include "render/outline_font.h"
#include "shell/demo_clock.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"

namespace {
class OutlineFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openTestGlContext());
        createOutlineFont();
        ASSERT_NE(outlineFont.listBase, 0u);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { deleteOutlineFont(); }
};

// Replaces every glyph list by one that reports its code and marks the glyph's origin with a
// point before advancing as the real glyph does, so feedback shows what was printed and where.
void useTracingGlyphs()
{
    for (int code = 0; code < outlineFontGlyphCount; ++code) {
        glNewList(outlineFont.listBase + code, GL_COMPILE);
        glPassThrough(GLfloat(code));
        glBegin(GL_POINTS);
        glVertex3f(0, 0, 0);
        glEnd();
        glTranslatef(outlineFont.advances[code], 0, 0);
        glEndList();
    }
}

struct Printed {
    std::string text;
    std::vector<FeedbackVertex> origins;  // one per character, eye coordinates
};

Printed trace(const std::function<void()>& draw)
{
    // A box around the eye's near neighbourhood, where the overlays are placed.
    Printed printed;
    for (const FeedbackItem& item : captureFeedback(draw, {-0.2f, 0.2f, -0.15f, 0.15f})) {
        if (item.token == GL_PASS_THROUGH_TOKEN) printed.text += char(int(item.value));
        if (item.token == GL_POINT_TOKEN) printed.origins.push_back(item.vertices[0]);
    }
    return printed;
}

float advanceSum(const std::string& text)
{
    float width = 0;
    for (unsigned char c : text) width += outlineFont.advances[c];
    return width;
}

std::vector<GLfloat> matrix(GLenum which)
{
    std::vector<GLfloat> m(16);
    glGetFloatv(which, m.data());
    return m;
}
}  // namespace

TEST_F(OutlineFontTest, OverlayTextsAndPlacement)
{
    useTracingGlyphs();
    const Printed time = trace([] { drawTimeOverlay(75.5f); });
    EXPECT_EQ(time.text, "Time  01:15.50");
    EXPECT_EQ(trace([] { drawTimeOverlay(65.25f); }).text, "Time  01:05.25");
    EXPECT_EQ(trace([] { drawTimeOverlay(600.0f); }).text, "Time  010:00.00");
    frameRateMeter.framesPerSecond = 62.5f;
    const Printed fps = trace([] { drawFpsOverlay(); });
    EXPECT_EQ(fps.text, "fps: 62.5");

    // Centred on their places 0.1 in front of the eye, at 0.005 eye units to the em, in green.
    ASSERT_FALSE(time.origins.empty());
    ASSERT_FALSE(fps.origins.empty());
    const FeedbackVertex t = time.origins[0], f = fps.origins[0];
    EXPECT_NEAR(t.x, -0.005f * advanceSum(time.text) / 2, 1e-5);
    EXPECT_NEAR(t.y, 0.037f, 1e-5);
    EXPECT_NEAR(t.z, -0.1f, 1e-5);
    EXPECT_NEAR(f.x, 0.047f - 0.005f * advanceSum(fps.text) / 2, 1e-5);
    EXPECT_NEAR(f.y, -0.04f, 1e-5);
    EXPECT_NEAR(t.r + t.b, 0.2f, 0.01);
    EXPECT_NEAR(f.g, 0.8f, 0.01);
}

TEST_F(OutlineFontTest, OverlaysKeepMatricesTexturingAndBlending)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, -3);
    glRotatef(30, 0, 1, 0);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    for (bool on : {true, false}) {
        if (on) glEnable(GL_TEXTURE_2D), glEnable(GL_BLEND), glEnable(GL_DEPTH_TEST);
        else glDisable(GL_TEXTURE_2D), glDisable(GL_BLEND), glDisable(GL_DEPTH_TEST);
        drawTimeOverlay(42.0f);
        drawFpsOverlay();
        EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_2D)), on);
        EXPECT_EQ(bool(glIsEnabled(GL_BLEND)), on);
        EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), on);
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
        EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A scene nearer the eye than the read-outs (the temple's columns pass closer than 0.1) must
// not hide them: with the depth buffer cleared to the nearest depth and depth testing on, both
// still show in full.
TEST_F(OutlineFontTest, OverlaysShowOverADepthNearerThanThemselves)
{
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.01 * 4 / 3 * 0.4142, 0.01 * 4 / 3 * 0.4142, -0.01 * 0.4142, 0.01 * 0.4142, 0.01, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    drawTimeOverlay(47.0f);
    drawFpsOverlay();
    glDisable(GL_DEPTH_TEST);
    std::vector<unsigned char> pixels(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    // Green pixels in the top half (the time) and in the bottom right quarter (the frame rate).
    int top = 0, bottomRight = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (pixels[(y * 800 + x) * 3 + 1] > 100) {
                if (y >= 300) ++top;
                else if (x >= 400) ++bottomRight;
            }
    EXPECT_GT(top, 200);
    EXPECT_GT(bottomRight, 100);
}

TEST_F(OutlineFontTest, PrintCentredText)
{
    useTracingGlyphs();
    const Printed printed = trace([] {
        glLoadIdentity();
        glScalef(0.01f, 0.01f, 1);
        printCentred("%s%d", "AV", 7);
    });
    ASSERT_EQ(printed.text, "AV7");
    ASSERT_EQ(printed.origins.size(), 3u);
    const float width = advanceSum("AV7");
    EXPECT_NEAR(printed.origins[0].x, -0.01f * width / 2, 1e-5);
    EXPECT_NEAR(printed.origins[2].x, 0.01f * (advanceSum("AV") - width / 2), 1e-5);
    // Left in the modelview matrix: back by half the width, forward by all of it.
    glLoadIdentity();
    printCentred("AV7");
    EXPECT_NEAR(matrix(GL_MODELVIEW_MATRIX)[12], width / 2, 1e-5);

    EXPECT_TRUE(trace([] { printCentred(nullptr); }).origins.empty());
    // The text buffer holds 255 characters; longer text is cut, never written past the buffer.
    const std::string longText(400, 'x');
    EXPECT_EQ(trace([&] { printCentred("%s", longText.c_str()); }).text, std::string(255, 'x'));
}

TEST_F(OutlineFontTest, RebuiltAfterDeleteIsComplete)
{
    const GLuint first = outlineFont.listBase;
    const float advanceA = outlineFont.advances[int('A')];
    EXPECT_GT(advanceA, 0.0f);
    deleteOutlineFont();
    for (int code = 0; code < outlineFontGlyphCount; ++code) ASSERT_FALSE(glIsList(first + code));
    // With no font, printing draws nothing; a second delete leaves lists made since alone.
    EXPECT_TRUE(captureFeedback([] { printCentred("A"); }).empty());
    const GLuint other = glGenLists(1);
    glNewList(other, GL_COMPILE);
    glEndList();
    deleteOutlineFont();
    EXPECT_TRUE(glIsList(other));
    glDeleteLists(other, 1);

    // The lists are made anew from the outlines the platform read once for this process.
    const int reads = glyphOutlineFaceReads();
    EXPECT_GE(reads, 1);
    createOutlineFont();
    EXPECT_EQ(glyphOutlineFaceReads(), reads);
    ASSERT_NE(outlineFont.listBase, 0u);
    for (int code = 0; code < outlineFontGlyphCount; ++code)
        ASSERT_TRUE(glIsList(outlineFont.listBase + code)) << code;
    EXPECT_EQ(outlineFont.advances[int('A')], advanceA);
    size_t polygons = 0;
    for (const FeedbackItem& item : captureFeedback([] {
             glLoadIdentity();
             glScalef(0.5f, 0.5f, 1);
             printCentred("AB");
         }))
        polygons += item.token == GL_POLYGON_TOKEN;
    EXPECT_GT(polygons, 4u);
}
