// The scaled frame on a drawable of another shape than the frame (1280 x 720): where the frame
// lands, that the scenes' drawing (viewports, the copy into a texture, fades and flashes) gives
// the same picture in the offscreen frame as in the window's own buffer, that a resize changes
// only the scaling, and the fallback when the driver has no framebuffer objects.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "core/demo_state.h"
#include "platform/gl_framebuffer.h"
#include "platform/messages.h"
#include "render/draw_helpers.h"
#include "shell/frame_scaler.h"
#include "shell/gl_window.h"
#include "support/gl_context.h"

namespace {
constexpr int drawableWidth = 1280, drawableHeight = 720;

bool sameRect(const FrameRect& r, int x, int y, int w, int h)
{
    return r.x == x && r.y == y && r.width == w && r.height == h;
}

std::vector<unsigned char> readRgb(int x, int y, int w, int h)
{
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// One pixel of the window's back buffer, whatever framebuffer is bound.
Rgb windowPixel(int x, int y)
{
    GLint bound = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &bound);
    glFramebufferApi.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    auto p = readRgb(x, y, 1, 1);
    glFramebufferApi.bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(bound));
    return Rgb{p[0], p[1], p[2]};
}

bool isBlack(Rgb p) { return p.r == 0 && p.g == 0 && p.b == 0; }
bool near(Rgb p, int r, int g, int b) { return std::abs(p.r - r) <= 2 && std::abs(p.g - g) <= 2 && std::abs(p.b - b) <= 2; }

void fillFrame(float r, float g, float b)
{
    glViewport(0, 0, 800, 600);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// What a scene does with the frame: depth-tested geometry under the 4:3 projection, a render
// into the 512 x 512 corner copied into a texture and shown again, a fade and a flash over the
// finished picture. Returns the copied texture's image.
std::vector<unsigned char> drawSceneLikeFrame(TextureId* copy)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    fillFrame(0.1f, 0.2f, 0.6f);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 800.0 / 600.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The 512 x 512 corner: a gradient, squeezed by the frame's projection, then copied.
    glViewport(0, 0, 512, 512);
    glBegin(GL_QUADS);
    glColor3f(1, 0, 0);
    glVertex3f(-2, -2, -1.5f);
    glColor3f(0, 1, 0);
    glVertex3f(2, -2, -1.5f);
    glColor3f(0, 0, 1);
    glVertex3f(2, 2, -1.5f);
    glColor3f(1, 1, 1);
    glVertex3f(-2, 2, -1.5f);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, *copy);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 512, 512, 0);
    std::vector<unsigned char> image(512 * 512 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    // The whole frame again: a nearer triangle half hidden behind a farther one drawn first.
    glViewport(0, 0, 800, 600);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBegin(GL_TRIANGLES);
    glColor3f(1, 1, 0);
    glVertex3f(-1, -1, -2);
    glVertex3f(1, -1, -2);
    glVertex3f(0, 1, -2);
    glColor3f(0, 1, 1);
    glVertex3f(-0.5f, -2, -4);
    glVertex3f(2, 0, -1);
    glVertex3f(0.5f, 2, -4);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    drawTexturedQuad(0.2f, -0.9f, -2.5f, 1.6f, 1.2f, 1, 1);
    glDisable(GL_TEXTURE_2D);
    fadeScreen(FadeIn, 0.0f, 2.0f, 1.2f);
    flashScreen(0.0f, 2.0f, 0.7f, 0.6f);
    glPopAttrib();
    return image;
}

class ScaledFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openTestGlContext(drawableWidth, drawableHeight));
        setGlFramebufferDisabled(false);
        glWindow = GlWindow{};
        clearMessages();
    }
    void TearDown() override
    {
        destroyFrameScaler();
        glWindow = GlWindow{};
        clearMessages();
        setGlFramebufferDisabled(false);
        glViewport(0, 0, drawableWidth, drawableHeight);
    }
    // The scaled frame as openScaledGlWindow sets it up, on a drawable of 1280 x 720.
    void startScaled()
    {
        ASSERT_TRUE(useScaledFrame(800, 600));
        handleWindowMessage(nullptr, WM_SIZE, 0, (drawableHeight << 16) | drawableWidth);
        resizeView(800, 600);
    }
};
}  // namespace

TEST(FitFrame, LargestCentredRectangleOfTheFramesShape)
{
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 1280, 720), 160, 0, 960, 720));   // wider: bars left and right
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 1000, 1000), 0, 125, 1000, 750)); // taller: bars top and bottom
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 800, 600), 0, 0, 800, 600));
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 1600, 1200), 0, 0, 1600, 1200));
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 640, 400), 53, 0, 533, 400));     // smaller than the frame
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 1366, 768), 171, 0, 1024, 768));  // odd margin: extra pixel right
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 3840, 1), 1919, 0, 1, 1));
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 0, 720), 0, 0, 0, 0));
    EXPECT_TRUE(sameRect(fitFrame(800, 600, 1280, -5), 0, 0, 0, 0));
}

TEST_F(ScaledFrame, SwapShowsTheFrameScaledAndCentredWithBlackBars)
{
    startScaled();
    // The window's own buffer holds something else; none of it may show through.
    glFramebufferApi.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    bindScaledFrame();
    fillFrame(1, 0, 0);
    glEnable(GL_SCISSOR_TEST);  // a frame's marker: green in its top-right 100 x 100 corner
    glScissor(700, 500, 100, 100);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_TRUE);
    glClearColor(0.25f, 0.5f, 0.75f, 0.5f);
    swapGlBuffers();

    // 960 x 720 from x 160: scale 1.2.
    EXPECT_TRUE(isBlack(windowPixel(0, 360)));
    EXPECT_TRUE(isBlack(windowPixel(159, 700)));
    EXPECT_TRUE(isBlack(windowPixel(1120, 10)));
    EXPECT_TRUE(isBlack(windowPixel(1279, 719)));
    EXPECT_TRUE(near(windowPixel(161, 1), 255, 0, 0));
    EXPECT_TRUE(near(windowPixel(640, 360), 255, 0, 0));
    EXPECT_TRUE(near(windowPixel(1118, 718), 0, 255, 0));   // the marker, scaled to 120 x 120
    EXPECT_TRUE(near(windowPixel(1002, 602), 0, 255, 0));
    EXPECT_TRUE(near(windowPixel(990, 590), 255, 0, 0));

    // The scene's state is untouched and the frame is bound again for the next draw.
    GLint binding = 0, scissor[4] = {};
    GLfloat clear[4] = {};
    GLboolean mask[4] = {};
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, static_cast<GLint>(frameScaler.framebuffer));
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, static_cast<GLint>(frameScaler.framebuffer));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    EXPECT_EQ(scissor[0], 700);
    EXPECT_EQ(scissor[3], 100);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.5f);
    EXPECT_FLOAT_EQ(clear[3], 0.5f);
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_FALSE(mask[1]);
    EXPECT_TRUE(mask[2]);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScaledFrame, ScenesDrawTheSamePictureAsInTheWindowsOwnBuffer)
{
    TextureId copy = 0;
    createBlankTexture(&copy, 512, 3, GL_RGB, 0);
    // Without scaling the frame is the bottom-left 800 x 600 of the window's buffer.
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<unsigned char> copiedDirect = drawSceneLikeFrame(&copy);
    glReadBuffer(GL_BACK);
    std::vector<unsigned char> direct = readRgb(0, 0, 800, 600);

    startScaled();
    glFramebufferApi.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1, 1, 0, 1);  // what a copy from the wrong buffer would find
    glClear(GL_COLOR_BUFFER_BIT);
    bindScaledFrame();
    std::vector<unsigned char> copiedScaled = drawSceneLikeFrame(&copy);
    std::vector<unsigned char> scaled = readRgb(0, 0, 800, 600);

    EXPECT_TRUE(copiedScaled == copiedDirect) << "the copy into the texture read another buffer";
    EXPECT_TRUE(scaled == direct) << "the offscreen frame differs from the window's own";
    // The copy holds the corner's gradient: red at its origin, white at its top left.
    EXPECT_GT(copiedScaled[0], 200);
    EXPECT_LT(copiedScaled[1], 40);
    size_t topLeft = size_t(511) * 512 * 3;
    EXPECT_GT(copiedScaled[topLeft + 2], 200);
    EXPECT_GT(copiedScaled[topLeft + 1], 200);
    glDeleteTextures(1, &copy);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScaledFrame, ResizeDuringASceneChangesOnlyTheScaling)
{
    startScaled();
    // A scene's state in the middle of its run.
    fillFrame(0, 0, 1);
    glViewport(0, 0, 512, 512);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(75.0, 800.0 / 600.0, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, -3);
    std::array<GLfloat, 16> projection{}, modelview{}, projectionAfter{}, modelviewAfter{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    std::vector<unsigned char> before = readRgb(0, 0, 800, 600);

    postMessage({WM_SIZE, 0, (720 << 16) | 640});
    EXPECT_EQ(pumpMessage(), 1);

    GLint viewport[4] = {}, mode = 0, binding = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 512);
    EXPECT_EQ(viewport[3], 512);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter.data());
    EXPECT_EQ(projectionAfter, projection);
    EXPECT_EQ(modelviewAfter, modelview);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, static_cast<GLint>(frameScaler.framebuffer));
    EXPECT_TRUE(readRgb(0, 0, 800, 600) == before);

    // The next swap fits the frame to a 640 x 720 output: 640 x 480 from y 120.
    swapGlBuffers();
    EXPECT_TRUE(isBlack(windowPixel(320, 118)));
    EXPECT_TRUE(isBlack(windowPixel(320, 601)));
    EXPECT_TRUE(near(windowPixel(1, 121), 0, 0, 255));
    EXPECT_TRUE(near(windowPixel(638, 598), 0, 0, 255));
    EXPECT_TRUE(isBlack(windowPixel(900, 360)));  // outside the output: cleared, not left over
}

TEST_F(ScaledFrame, WithoutFramebufferObjectsNothingChanges)
{
    setGlFramebufferDisabled(true);
    EXPECT_FALSE(useScaledFrame(800, 600));
    EXPECT_FALSE(glWindow.scaledFrame);
    EXPECT_EQ(frameScaler.framebuffer, 0u);
    setGlFramebufferDisabled(false);

    setenv("DEMOTORVA_NO_FRAMEBUFFER", "1", 1);
    EXPECT_FALSE(loadGlFramebufferApi());
    EXPECT_EQ(glFramebufferApi.bindFramebuffer, nullptr);
    setenv("DEMOTORVA_NO_FRAMEBUFFER", "0", 1);
    EXPECT_TRUE(loadGlFramebufferApi());
    unsetenv("DEMOTORVA_NO_FRAMEBUFFER");

    // Without a scaled frame a resize is the window's own again: viewport and projection follow.
    handleWindowMessage(nullptr, WM_SIZE, 0, (720 << 16) | 1280);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1280);
    EXPECT_EQ(viewport[3], 720);
}
