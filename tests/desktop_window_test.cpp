// Opening the window for a scaled frame under the offscreen driver (whose desktop is 1024 x 768
// and offers no 800 x 600 mode): full screen at the desktop's size, a resizable window, the
// fallbacks when the driver has no framebuffer objects, the options, and a whole run.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/demo_main.h"
#include "app/option_parser.h"
#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/gl_framebuffer.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "shell/frame_scaler.h"
#include "shell/gl_window.h"

namespace {
std::vector<std::string> boxes;
int boxAnswer = IDYES;
int recordBox(const char* text, const char* caption, unsigned)
{
    boxes.push_back(std::string(caption) + "|" + text);
    return boxAnswer;
}

const char* const title = "DemoTORVA - v 0.5b";
const std::string question =
    "DemoTORVA|The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";

class ScaledWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        demoState = DemoState{};
        demoSettings = DemoSettings{};
        glWindow = GlWindow{};
        boxes.clear();
        boxAnswer = IDYES;
        setMessageBoxHook(recordBox);
        clearMessages();
    }
    void TearDown() override
    {
        closeGlWindow();
        setGlFramebufferDisabled(false);
        setMessageBoxHook(nullptr);
        clearMessages();
    }
};

void expectFrameViewport()
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}
}  // namespace

TEST(DesktopOptions, DesktopIsAnOptionOfItsOwnThatExcludesWindow)
{
    DemoOptions options;
    std::string error;
    char prog[] = "demotorva", desktop[] = "--desktop", window[] = "--window";
    char* justDesktop[] = {prog, desktop};
    ASSERT_TRUE(parseDemoOptions(2, justDesktop, options, error));
    EXPECT_TRUE(options.desktop);
    EXPECT_FALSE(options.window);
    DemoOptions both;
    char* desktopAndWindow[] = {prog, window, desktop};
    EXPECT_FALSE(parseDemoOptions(3, desktopAndWindow, both, error));
    EXPECT_NE(error.find("--desktop"), std::string::npos);
    EXPECT_NE(std::string(demoUsage).find("--desktop"), std::string::npos);
}

TEST_F(ScaledWindow, DesktopFillsTheDesktopWithoutAModeSwitchAndTheFrameStaysItsSize)
{
    ASSERT_TRUE(openScaledGlWindow(title, 800, 600, 16, true));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(glWindow.scaledFrame);
    EXPECT_TRUE(glWindow.desktop);
    EXPECT_FALSE(demoSettings.fullscreen);  // no display mode to restore
    int width = 0, height = 0;
    ASSERT_TRUE(displayDrawableSize(width, height));
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    GLint binding = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, static_cast<GLint>(frameScaler.framebuffer));
    EXPECT_EQ(frameScaler.width, 800);
    EXPECT_EQ(frameScaler.height, 600);
    expectFrameViewport();
    // The window's size events (SDL sends the desktop's size) and the swap leave the frame alone.
    while (pumpMessage() != 0) {
    }
    swapGlBuffers();
    expectFrameViewport();
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, static_cast<GLint>(frameScaler.framebuffer));

    closeGlWindow();
    EXPECT_FALSE(glWindow.scaledFrame);
    EXPECT_FALSE(glWindow.desktop);
    EXPECT_FALSE(glWindow.window);
    EXPECT_EQ(frameScaler.framebuffer, 0u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ScaledWindow, WindowOpensAtTheFramesSize)
{
    ASSERT_TRUE(openScaledGlWindow(title, 800, 600, 16, false));
    EXPECT_TRUE(glWindow.scaledFrame);
    EXPECT_FALSE(glWindow.desktop);
    int width = 0, height = 0;
    ASSERT_TRUE(displayDrawableSize(width, height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    expectFrameViewport();
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ScaledWindow, WithoutFramebufferObjectsDesktopAsksForTheModeSwitchAndSaysWhy)
{
    setGlFramebufferDisabled(true);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(openScaledGlWindow(title, 800, 600, 16, true));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot draw the frame offscreen"), std::string::npos) << said;
    EXPECT_NE(said.find("switching the display to 800 x 600"), std::string::npos) << said;
    // The offscreen display has no 800 x 600 mode: the question, answered Yes, gives a window.
    EXPECT_EQ(boxes, std::vector<std::string>{question});
    EXPECT_FALSE(glWindow.scaledFrame);
    EXPECT_FALSE(glWindow.desktop);
    EXPECT_FALSE(demoSettings.fullscreen);
    EXPECT_TRUE(glWindow.window && glWindow.renderContext);
    int width = 0, height = 0;
    ASSERT_TRUE(displayDrawableSize(width, height));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    // The window's own buffer again: a resize moves the viewport as it always did.
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    handleWindowMessage(nullptr, WM_SIZE, 0, (300 << 16) | 400);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);
}

TEST_F(ScaledWindow, WithoutFramebufferObjectsFallbacksEndOrOpenAFixedWindow)
{
    setGlFramebufferDisabled(true);
    boxAnswer = IDNO;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(openScaledGlWindow(title, 800, 600, 16, true));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes, (std::vector<std::string>{question, "ERROR|Program Will Now Close."}));
    EXPECT_FALSE(glWindow.window);
    closeGlWindow();

    boxes.clear();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(openScaledGlWindow(title, 800, 600, 16, false));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("fixed 800 x 600 window"), std::string::npos) << said;
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(glWindow.scaledFrame);
    EXPECT_FALSE(demoSettings.fullscreen);
}

// The question about the missing mode, where nobody can answer it: no box can be shown, or
// boxes are kept off screen with no answer given beforehand. The demo plays in a window and
// says so, rather than refusing on the user's behalf. "0" keeps boxes on, as it reads.
TEST_F(ScaledWindow, AQuestionNobodyCanAnswerPlaysInAWindowAndSaysSo)
{
    boxAnswer = IDUNASKED;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(openGlWindow(title, 800, 600, 16, true));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("the question could not be asked; playing in a window"), std::string::npos) << said;
    EXPECT_EQ(boxes, std::vector<std::string>{question});
    EXPECT_FALSE(demoSettings.fullscreen);
    EXPECT_TRUE(glWindow.window && glWindow.renderContext);
    closeGlWindow();

    // The real boxes, where no display can show one (the offscreen driver, no X or Wayland).
    setMessageBoxHook(nullptr);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const char* text = "Use Windowed Mode Instead?";
    testing::internal::CaptureStderr();
    setenv("DEMOTORVA_NO_DIALOGS", "1", 1);
    setenv("DEMOTORVA_ANSWER", "yes", 1);
    EXPECT_EQ(showMessageBox(text, "DemoTORVA", MB_YESNO), IDYES);
    setenv("DEMOTORVA_ANSWER", "no", 1);
    EXPECT_EQ(showMessageBox(text, "DemoTORVA", MB_YESNO), IDNO);
    unsetenv("DEMOTORVA_ANSWER");
    EXPECT_EQ(showMessageBox(text, "DemoTORVA", MB_YESNO), IDUNASKED);
    setenv("DEMOTORVA_ANSWER", "yes", 1);
    for (const char* off : {"0", ""}) {
        setenv("DEMOTORVA_NO_DIALOGS", off, 1);
        EXPECT_EQ(showMessageBox(text, "DemoTORVA", MB_YESNO), IDUNASKED) << "DEMOTORVA_NO_DIALOGS=" << off;
    }
    testing::internal::GetCapturedStderr();
    unsetenv("DEMOTORVA_NO_DIALOGS");
    unsetenv("DEMOTORVA_ANSWER");
}

TEST_F(ScaledWindow, DesktopRunPlaysAndEscapeGivesZero)
{
    std::filesystem::current_path(DEMOTORVA_PACK_DIR);
    AudioApi saved = audioApi;
    audioApi.init = [](int, int, unsigned) { return false; };  // no sound card needed
    DemoOptions options;
    options.desktop = true;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
    audioApi = saved;
    EXPECT_FALSE(glWindow.window);
    EXPECT_EQ(frameScaler.framebuffer, 0u);
    EXPECT_EQ(boxes.size(), 1u);  // the audio error only
}
