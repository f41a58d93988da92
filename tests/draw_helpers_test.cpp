// The shared drawing helpers by their pixels, their vertices and the state they leave.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <vector>

#include "render/draw_helpers.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"

namespace {
class DrawHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openTestGlContext());
        project(0.1, 100);
    }
    void TearDown() override
    {
        for (GLenum cap : {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND}) glDisable(cap);
    }
    // The demo's perspective: 45 degrees, 4:3.
    static void project(double zNear, double zFar)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 800.0 / 600.0, zNear, zFar);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    static int fill(float grey)
    {
        glClearColor(grey, grey, grey, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return readPixel(0, 0).r;
    }
};

// Pixel channels of the 800 x 600 frame other than value.
size_t pixelsOtherThan(int value)
{
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return size_t(std::count_if(rgb.begin(), rgb.end(), [&](unsigned char c) { return c != value; }));
}

float currentLevel()
{
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    return colour[0];
}
}  // namespace

TEST_F(DrawHelpers, ScreenQuadCoversTheViewportAlsoOnTheNearPlane)
{
    // Near planes at 0.1 and a rounding step beyond it, where a quad exactly 0.1 away is clipped
    // away whole, and the nearer planes the scenes use.
    for (double zNear : {0.1, double(0.1f), 0.1000001, 0.001}) {
        for (double zFar : {1.0, 100.0, 100000.0}) {
            project(zNear, zFar);
            glTranslatef(3, 2, 1);
            fill(0);
            glColor3f(1, 1, 1);
            drawScreenQuad();
            EXPECT_EQ(pixelsOtherThan(255), 0u) << "near " << zNear << " far " << zFar;
            GLfloat m[16];
            glGetFloatv(GL_MODELVIEW_MATRIX, m);
            EXPECT_EQ(m[12], 3.0f);
        }
    }
}

TEST_F(DrawHelpers, FadeByItsPixels)
{
    // A fade in over 0 to 4 s: black at its start, the frame as it was at its end.
    fill(0.5f);
    fadeScreen(FadeIn, 0.0f, 4.0f, 0.0f);
    EXPECT_EQ(pixelsOtherThan(0), 0u);
    const int grey = fill(0.5f);
    fadeScreen(FadeIn, 0.0f, 4.0f, 4.0f);
    EXPECT_EQ(pixelsOtherThan(grey), 0u);

    // Just outside the window it makes no GL call at all: colour and blending stay as set.
    glColor3f(0.3f, 0.3f, 0.3f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    fadeScreen(FadeIn, 0.0f, 4.0f, 4.01f);
    fadeScreen(FadeIn, 0.0f, 4.0f, -0.01f);
    EXPECT_FLOAT_EQ(currentLevel(), 0.3f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(pixelsOtherThan(grey), 0u);

    // A fade out over 33 to 35 s halves the frame at 34 s.
    fill(0.5f);
    fadeScreen(FadeOut, 33.0f, 35.0f, 34.0f);
    EXPECT_FLOAT_EQ(currentLevel(), 0.5f);
    EXPECT_NEAR(readPixel(400, 300).r, grey / 2, 1);
    EXPECT_EQ(pixelsOtherThan(readPixel(400, 300).r), 0u);
}

TEST_F(DrawHelpers, FlashByItsPixels)
{
    // A triangle over 5.0 to 5.5 s peaking at 0.5, added to a black frame.
    const float times[] = {5.0f, 5.125f, 5.25f, 5.375f, 5.5f}, levels[] = {0, 0.25f, 0.5f, 0.25f, 0};
    for (int i = 0; i < 5; ++i) {
        fill(0);
        flashScreen(5.0f, 5.5f, times[i], 0.5f);
        EXPECT_NEAR(currentLevel(), levels[i], 1e-6) << times[i];
        EXPECT_NEAR(readPixel(400, 300).r, levels[i] * 255, 1) << times[i];
        EXPECT_EQ(pixelsOtherThan(readPixel(400, 300).r), 0u) << times[i];
    }
    for (int frame = 0; frame <= 70; ++frame) {
        fill(0);
        flashScreen(5.0f, 5.5f, 5.0f + frame * (0.5f / 70), 0.5f);
        EXPECT_LE(currentLevel(), 0.5f) << frame;
        EXPECT_LE(readPixel(10, 10).r, 128) << frame;
    }
}

TEST_F(DrawHelpers, FadeAndFlashLeaveBlendingOffAndTheRestAsItWas)
{
    for (bool on : {true, false}) {
        for (bool flash : {false, true}) {
            for (GLenum cap : {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND})
                on ? glEnable(cap) : glDisable(cap);
            glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
            if (flash) flashScreen(1.0f, 2.0f, 1.5f, 1.0f);
            else fadeScreen(FadeOut, 1.0f, 2.0f, 1.5f);
            EXPECT_EQ(bool(glIsEnabled(GL_TEXTURE_2D)), on) << flash;
            EXPECT_EQ(bool(glIsEnabled(GL_LIGHTING)), on) << flash;
            EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), on) << flash;
            EXPECT_FALSE(glIsEnabled(GL_BLEND)) << flash;
            GLint modes[2];
            glGetIntegerv(GL_POLYGON_MODE, modes);
            EXPECT_EQ(modes[0], GL_FILL);
        }
    }
}

TEST_F(DrawHelpers, BlankTexture)
{
    TextureId names[3] = {11, 0, 33};
    createBlankTexture(names, 512, 3, GL_RGB, 1);
    EXPECT_EQ(names[0], 11u);
    EXPECT_EQ(names[2], 33u);
    GLint bound = 0, side = 0, filter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), names[1]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &side);
    EXPECT_EQ(side, 512);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    std::vector<unsigned char> texels(512 * 512 * 3, 0xAB);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(std::count(texels.begin(), texels.end(), 0), std::ptrdiff_t(texels.size()));

    // Sizes whose zero image cannot be had: still a generated name, bound, with no image.
    for (int size : {INT32_MAX, -1}) {
        const TextureId before = names[1];
        createBlankTexture(names, size, 3, GL_RGB, 1);
        EXPECT_NE(names[1], before) << size;
        EXPECT_TRUE(glIsTexture(names[1])) << size;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &side);
        EXPECT_EQ(side, 0) << size;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(DrawHelpers, TexturedQuadCorners)
{
    const auto items = captureFeedback([] { drawTexturedQuad(1.0f, 2.0f, 0.5f, 3.0f, 4.0f, 7.0f, 1.0f); });
    // However the renderer splits the quad, its vertices are these corners.
    const float corners[4][4] = {{1, 2, 0, 0}, {4, 2, 7, 0}, {4, 6, 7, 1}, {1, 6, 0, 1}};
    ASSERT_FALSE(items.empty());
    bool seen[4] = {};
    for (const FeedbackItem& item : items)
        for (const FeedbackVertex& v : item.vertices) {
            const auto* c = std::find_if(std::begin(corners), std::end(corners), [&](const float* c) {
                return std::abs(v.x - c[0]) < 1e-4 && std::abs(v.y - c[1]) < 1e-4 && v.s == c[2] &&
                       v.t == c[3] && std::abs(v.z - 0.5f) < 1e-4;
            });
            EXPECT_NE(c, std::end(corners)) << v.x << "," << v.y << " st " << v.s << "," << v.t;
            if (c != std::end(corners)) seen[c - std::begin(corners)] = true;
        }
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(seen[k]) << "corner " << k << " missing";
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f);
}

// Pixel sizes written for 600 lines follow the frame: lines and the copy square grow with the
// height, the square in powers of two that fit inside the frame.
TEST_F(DrawHelpers, PixelSizesFollowTheFrameHeight)
{
    struct Case {
        int width, height;
        float line;
        int copy;
    };
    for (const Case& c : {Case{800, 600, 1.0f, 512}, Case{1600, 1200, 2.0f, 1024}, Case{1920, 1440, 2.4f, 1024},
                          Case{3200, 2400, 4.0f, 2048}, Case{3840, 2880, 4.8f, 2048}, Case{320, 240, 1.0f, 128}}) {
        EXPECT_FLOAT_EQ(frameLineWidth(c.height), c.line) << c.height;
        EXPECT_EQ(frameCopySize(512, c.width, c.height), c.copy) << c.height;
    }
}
