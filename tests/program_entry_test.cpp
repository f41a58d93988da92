// Program entry with an audio stand-in that fails at each step: texts shown and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "shell/demo_main.h"
#include "shell/demo_state.h"

namespace {
std::vector<std::string> boxes;
int recordBox(const char* text, const char* caption, unsigned)
{
    boxes.push_back(std::string(caption) + "|" + text);
    return IDOK;
}

uint32_t wrongVersion() { return 0x70000; }
bool failInit(int, int, unsigned) { return false; }
int errorSeven() { return 7; }
bool succeed() { return true; }
bool initOk(int, int, unsigned) { return true; }
uint32_t loadFails(const char*) { return 0; }
uint32_t loadOk(const char*) { return 3; }
bool playFails(uint32_t) { return false; }
bool playOk(uint32_t) { return true; }

AudioApi workingFake()
{
    AudioApi api = realAudioApi;
    api.init = initOk;
    api.errorGetCode = errorSeven;
    api.start = succeed;
    api.musicLoad = loadOk;
    api.musicPlay = playOk;
    api.pause = succeed;
    api.stop = succeed;
    api.free = succeed;
    return api;
}

class ProgramEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        demoState = DemoState{};
        demoSettings = DemoSettings{};
        boxes.clear();
        setMessageBoxHook(recordBox);
        clearMessages();
        audioApi = workingFake();
        std::filesystem::current_path(DEMOTORVA_PACK_DIR);
        options.window = true;
    }
    void TearDown() override
    {
        audioApi = realAudioApi;
        setMessageBoxHook(nullptr);
    }
    DemoOptions options;
};
}  // namespace

TEST_F(ProgramEntry, WrongVersionEndsWithZero)
{
    audioApi.getVersion = wrongVersion;
    EXPECT_EQ(playDemo(options), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Incorrect BASS.DLL|BASS version 0.8 was not loaded"}));
}

TEST_F(ProgramEntry, NoDeviceRunsSilentAndEscapeGives27)
{
    audioApi.init = failInit;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 27);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't initialize digital sound system\n(error code: 7)"}));
    EXPECT_FALSE(demoSettings.soundEnabled);
    EXPECT_EQ(demoState.musicHandle, 0u);
}

TEST_F(ProgramEntry, MissingModuleShowsTwoBoxes)
{
    audioApi.musicLoad = loadFails;
    audioApi.musicPlay = playFails;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 27);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't load music\n(error code: 7)",
                                               "Error|Can't play music\n(error code: 7)"}));
}

TEST_F(ProgramEntry, PlayFailureShowsOneBoxAndCloseGivesZero)
{
    audioApi.musicPlay = playFails;
    postMessage({WM_CLOSE, 0, 0});
    EXPECT_EQ(playDemo(options), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't play music\n(error code: 7)"}));
    EXPECT_EQ(demoState.musicHandle, 3u);
}

TEST_F(ProgramEntry, RealModuleMissingFromEmptyFolder)
{
    audioApi = realAudioApi;
    std::filesystem::path empty = std::filesystem::path(::testing::TempDir()) / "no-data";
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 27);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't load music\n(error code: 2)",
                                               "Error|Can't play music\n(error code: 4)"}));
}

TEST(ProgramOptions, ParsesAndRejects)
{
    DemoOptions o;
    std::string error;
    const char* argv[] = {"demotorva", "--window", "--data", "d", "--fps", "30", "--to", "2.5"};
    ASSERT_TRUE(parseDemoOptions(8, const_cast<char**>(argv), o, error));
    EXPECT_TRUE(o.window);
    EXPECT_EQ(o.dataDir, "d");
    EXPECT_EQ(o.fps, 30);
    EXPECT_DOUBLE_EQ(o.to, 2.5);
    const char* bad[] = {"demotorva", "--fps", "zero"};
    EXPECT_FALSE(parseDemoOptions(3, const_cast<char**>(bad), o, error));
    const char* unknown[] = {"demotorva", "--fast"};
    EXPECT_FALSE(parseDemoOptions(2, const_cast<char**>(unknown), o, error));
    const char* missing[] = {"demotorva", "--data"};
    EXPECT_FALSE(parseDemoOptions(2, const_cast<char**>(missing), o, error));
}
