// Program entry with an audio stand-in that fails at each step: texts shown and exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/demo_main.h"
#include "app/option_parser.h"
#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/counter.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "scenes/tunnel_scene.h"
#include "shell/scene_runner.h"

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
std::vector<double> musicPositions;  // where the music was started: 0 by musicPlay, else the seek
bool playOk(uint32_t) { musicPositions.push_back(0); return true; }
bool seekOk(uint32_t, double seconds) { musicPositions.push_back(seconds); return true; }
int inits = 0;
bool countInit(int, int, unsigned) { ++inits; return true; }

AudioApi workingFake()
{
    AudioApi api = realAudioApi;
    api.init = initOk;
    api.errorGetCode = errorSeven;
    api.start = succeed;
    api.musicLoad = loadOk;
    api.musicPlay = playOk;
    api.setPositionSeconds = seekOk;
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
        musicPositions.clear();
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

TEST_F(ProgramEntry, WrongVersionEndsWithOne)
{
    audioApi.getVersion = wrongVersion;
    EXPECT_EQ(playDemo(options), 1);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Incorrect BASS.DLL|BASS version 0.8 was not loaded"}));
}

TEST_F(ProgramEntry, NoDeviceRunsSilentAndEscapeGivesZero)
{
    audioApi.init = failInit;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't initialize digital sound system\n(error code: 7)"}));
    EXPECT_FALSE(demoSettings.soundEnabled);
    EXPECT_EQ(demoState.musicHandle, 0u);
}

// The real audio library without an output: the box, which someone who started the demo from
// a menu sees where standard error goes nowhere, says why and what to do.
TEST_F(ProgramEntry, NoSoundOutputBoxSaysWhatToDo)
{
    audioApi = realAudioApi;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(boxes.size(), 1u);
    const std::string start = "Error|Can't initialize digital sound system\n(error code: 1)\nno sound output could be opened (";
    EXPECT_EQ(boxes[0].rfind(start, 0), 0u) << boxes[0];
    EXPECT_NE(boxes[0].find("check the sound server or SDL_AUDIODRIVER, or play with --mute"), std::string::npos)
        << boxes[0];
    EXPECT_FALSE(demoSettings.soundEnabled);
}

TEST_F(ProgramEntry, MissingModuleShowsTwoBoxes)
{
    audioApi.musicLoad = loadFails;
    audioApi.musicPlay = playFails;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
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
    EXPECT_EQ(playDemo(options), 0);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error|Can't load music\n(error code: 2)",
                                               "Error|Can't play music\n(error code: 4)"}));
}

TEST_F(ProgramEntry, StartSeeksPictureAndMusicAndMuteOpensNoSound)
{
    options.start = 40;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
    ASSERT_EQ(musicPositions.size(), 2u);
    EXPECT_NEAR(musicPositions[1], 40.0, 0.1);
    EXPECT_NEAR(demoState.timeOffset, 40.0f, 0.1f);

    demoState = DemoState{};
    musicPositions.clear();
    options = DemoOptions{};
    options.window = options.mute = true;
    audioApi.init = countInit;
    inits = 0;
    postMessage({WM_KEYDOWN, VK_ESCAPE, 0});
    EXPECT_EQ(playDemo(options), 0);
    EXPECT_EQ(inits, 0);
    EXPECT_TRUE(musicPositions.empty());
    EXPECT_TRUE(boxes.empty());
}

namespace {
int secondRoundTunnelVertices = -1;
// Two seconds of demo time per frame; quits once the demo has started a second time, noting
// whether the model the tunnel released in the first round is there again.
void quickFrameQuitOnSecondRound()
{
    advanceVirtualCounter(2 * 70);
    if (musicPositions.size() == 2 && !demoState.quitRequested) {
        secondRoundTunnelVertices = tunnelModel.objects.empty() ? 0 : tunnelModel.objects[0].vertexCount;
        postMessage({WM_CLOSE, 0, 0});
    }
}
}  // namespace

TEST_F(ProgramEntry, LoopPlaysAgainFromTheStartWithEveryModel)
{
    useVirtualCounter(70, 0);
    options.loop = true;
    frameHook = quickFrameQuitOnSecondRound;
    EXPECT_EQ(playDemo(options), 0);
    frameHook = nullptr;
    useRealCounter();
    EXPECT_EQ(musicPositions, (std::vector<double>{0, 0}));
    EXPECT_GT(secondRoundTunnelVertices, 0);
}

TEST(MusicGain, VolumeScalesTheRenderedMusic)
{
    std::string module = std::string(DEMOTORVA_PACK_DIR) + "/Mod_.it";
    std::vector<int16_t> full, quieter;
    setMusicGain(0);
    ASSERT_TRUE(renderModuleSamples(module.c_str(), 44100 * 4, full));
    setMusicGain(-6.0206);
    ASSERT_TRUE(renderModuleSamples(module.c_str(), 44100 * 4, quieter));
    setMusicGain(0);
    double a = 0, b = 0;
    for (size_t i = 0; i < full.size(); ++i) a += std::abs(full[i]), b += std::abs(quieter[i]);
    ASSERT_GT(a, 0);
    EXPECT_NEAR(b / a, 0.5, 0.02);
}

namespace {
// Parses a command line given as one string of words; the error is kept for the refusals.
bool parse(std::vector<std::string> words, DemoOptions& o, std::string& error)
{
    words.insert(words.begin(), "demotorva");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return parseDemoOptions(static_cast<int>(words.size()), argv.data(), o, error);
}
}  // namespace

TEST(ProgramOptions, ParsesBothSpellingsShortFormsAndRanges)
{
    DemoOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--record", "v.mp4", "--data=d", "--fps", "30", "--to=2.5", "--size", "1600x1200", "-q",
                       "--supersample=3", "--crf", "23", "--preset=veryfast", "--volume", "-6.5", "--to", "200"},
                      o, error))
        << error;
    EXPECT_EQ(o.recordFile, "v.mp4");
    EXPECT_EQ(o.dataDir, "d");
    EXPECT_EQ(o.fps, 30);
    EXPECT_DOUBLE_EQ(o.to, 200);  // an end past the demo's own is its end
    EXPECT_EQ(o.width, 1600);
    EXPECT_EQ(o.height, 1200);
    EXPECT_TRUE(o.quiet);
    EXPECT_EQ(o.supersample, 3);
    EXPECT_EQ(o.crf, 23);
    EXPECT_EQ(o.preset, "veryfast");
    EXPECT_DOUBLE_EQ(o.volumeDb, -6.5);
    // A second parse in the same process starts afresh.
    DemoOptions again;
    ASSERT_TRUE(parse({"-w", "-d", "e", "--start", "188", "--loop", "--no-vsync", "--mute"}, again, error)) << error;
    EXPECT_EQ(again.dataDir, "e");
    EXPECT_DOUBLE_EQ(again.start, 188);
    EXPECT_TRUE(again.window && again.loop && again.noVsync && again.mute && again.recordFile.empty());
    // What the benchmark draws follows the frame options.
    DemoOptions bench;
    EXPECT_TRUE(parse({"--benchmark", "--fps", "20", "--supersample", "2", "--to", "3", "-q"}, bench, error)) << error;
}

TEST(ProgramOptions, RefusesWithOneLineNamingTheOption)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"--fps", "zero"}, "--fps"},
        {{"--fps", "29.97"}, "--fps"},
        {{"--fps=241"}, "--fps"},
        {{"--fast"}, "--fast"},
        {{"-x"}, "-x"},
        {{"--window=3"}, "--window"},
        {{"--data"}, "--data"},
        {{"--size", "319x240"}, "--size"},
        {{"--size", "3840x2881"}, "--size"},
        {{"--size", "800by600"}, "--size"},
        {{"--supersample", "5"}, "--supersample"},
        {{"--preset", "quick"}, "--preset"},
        {{"--volume", "20"}, "--volume"},
        {{"--from", "5", "--to", "4"}, "--from"},
        {{"--window", "--desktop"}, "--desktop"},
        {{"--record", "a.mp4", "--loop"}, "--loop"},
        {{"stray"}, "stray"},
        // Past the end of the demo nothing would play or be written: the line gives its length.
        {{"--start", "999", "--window"}, "the demo is 188 s long"},
        {{"--audio", "x.wav", "--from", "300", "--to", "400"}, "--from"},
        {{"--frames", "d", "--from=188.01"}, "188 s long"},
        // Options that would be dropped without a word.
        {{"--crf", "20"}, "--crf"},
        {{"--frames", "d", "--preset", "slow"}, "needs --record"},
        {{"--window", "--supersample", "2"}, "--supersample"},
        {{"--fps", "30"}, "--fps"},
        {{"--from", "20"}, "--start"},
        {{"--record", "x.mp4", "--window"}, "--window"},
        {{"--frames", "d", "--desktop"}, "--desktop"},
        {{"--audio", "x.wav", "--mute"}, "--mute"},
        {{"--benchmark", "--record", "x.mp4"}, "--benchmark"},
        {{"--benchmark", "--frames", "d"}, "--frames"},
        {{"--record", ""}, "--record"},
        {{"--frames="}, "--frames"},
        {{"--data", ""}, "--data"},
    };
    for (const auto& [words, named] : refusals) {
        DemoOptions o;
        std::string error;
        EXPECT_FALSE(parse(words, o, error)) << words[0];
        EXPECT_NE(error.find(named), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}
