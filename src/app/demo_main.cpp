// Program entry: opens the window, checks and starts the audio, shows the loading picture,
// loads every scene, starts the music and the clock, plays the sequence and shuts down.
#include "app/demo_main.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/data_folder.h"
#include "app/option_parser.h"
#include "assets/tga_loader.h"
#include "capture/offline_render.h"
#include "core/demo_state.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "shell/demo_clock.h"
#include "shell/gl_window.h"
#include "shell/scene_rehearsal.h"
#include "shell/scene_runner.h"

namespace fs = std::filesystem;

namespace {
constexpr TextureId loadingTexture = 0;
}  // namespace

void reportAudioError(const char* message, const char* hint)
{
    char text[512];
    std::snprintf(text, sizeof text, "%s\n(error code: %d)%s%s", message, audioApi.errorGetCode(),
                  hint && *hint ? "\n" : "", hint ? hint : "");
    showMessageBox(text, "Error", MB_OK);
}

bool loadEverything()
{
    if (loadTgaTexture("maps/loading.tga", loadingTexture) == 0) return false;
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, loadingTexture);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-2.0f, -1.5f, -3.6f);
    glTexCoord2f(1, 0);
    glVertex3f(2.0f, -1.5f, -3.6f);
    glTexCoord2f(1, 1);
    glVertex3f(2.0f, 1.5f, -3.6f);
    glTexCoord2f(0, 1);
    glVertex3f(-2.0f, 1.5f, -3.6f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glTranslatef(-0.01f, -0.01f, -0.1f);
    glScalef(0.005f, 0.005f, 1.0f);
    swapGlBuffers();
    const Scene* order[] = {&introScene, &tunnelScene, &templeScene, &creditsScene, &endScene};
    for (const Scene* scene : order)
        if (!scene->load()) return false;
    return true;
}

namespace {
// Says on standard error where the demo looked for its files when some or all are missing,
// before any box about the music, so the cause comes before its effects.
void reportMissingData(const DemoOptions& options)
{
    // The module is opened only once the music starts, after this line; count it here.
    std::error_code e;
    const std::string module = resolvePath(musicModuleFile);
    if (!fs::exists(module, e)) noteMissingFile(module);
    int missing = missingFileCount();
    if (missing == 0) return;
    std::string here = fs::current_path(e).string();
    if (!holdsDemoFiles(here) && options.dataDir.empty()) {
        std::string searched;
        for (const fs::path& folder : dataFolderCandidates(nullptr))
            searched += (searched.empty() ? "" : ", ") + folder.string();
        std::fprintf(stderr, "demotorva: no demo data in %s; use --data DIR\n", searched.c_str());
        return;
    }
    std::fprintf(stderr, "demotorva: %d of the demo's files are missing from %s; use --data DIR\n",
                 missing, here.c_str());
}

// The start of live play, right after the music started: the clock at 0, then a seek to the
// start time through the preview keys' own path, so picture and music agree.
void startPlaying(const DemoOptions& options)
{
    startClock();
    if (options.start > 0) {
        seekDemoTime(static_cast<float>(options.start));
        if (demoSettings.soundEnabled) resumeMusicAtDemoTime();
    }
}

// Makes the demo playable once more from its start: every scene's record as at program start,
// the run-time flags but the read-outs reset, the two models the temple and tunnel release
// read again, and the music started again from its beginning.
void rewindDemo()
{
    DemoState fresh;
    fresh.showTime = demoState.showTime;
    fresh.showFps = demoState.showFps;
    fresh.musicHandle = demoState.musicHandle;
    demoState = fresh;
    introState = IntroState{};
    templeState = TempleState{};
    tunnelState = TunnelState{};
    creditsState = CreditsState{};
    endState = EndState{};
    templeScene.load();
    tunnelScene.load();
    if (demoSettings.soundEnabled && demoState.musicHandle != 0) audioApi.musicPlay(demoState.musicHandle);
}
}  // namespace

int playDemo(const DemoOptions& options)
{
    bool offline = offlineRequested(options);
    if (offline) displayRequestOffscreen();
    // Offline runs read the frame back from the window itself, unscaled; interactive runs with
    // --desktop or --window draw into the offscreen frame and scale it.
    const char* title = "DemoTORVA - v " DEMOTORVA_VERSION;
    chooseFrameSize(options);
    bool opened = !offline && (options.desktop || options.window)
                      ? openScaledGlWindow(title, demoSettings.width, demoSettings.height, 16, options.desktop,
                                           options.desktop && !frameSizeGiven(options))
                      : openGlWindow(title, demoSettings.width, demoSettings.height, 16,
                                     demoSettings.fullscreen && !options.window && !offline);
    if (!opened) return 1;
    if (options.noVsync) displaySetSwapInterval(0);
    if (audioApi.getVersion() != audioVersionWord) {
        showMessageBox("BASS version 0.8 was not loaded", "Incorrect BASS.DLL", MB_OK);
        return 1;
    }
    setMusicGain(options.volumeDb);
    if (offline || options.mute) {
        demoSettings.soundEnabled = false;
    } else if (!audioApi.init(-1, audioOutputRate, 16)) {
        reportAudioError("Can't initialize digital sound system", audioDeviceHint());
        demoSettings.soundEnabled = false;
    }
    if (!loadEverything()) return 1;
    reportMissingData(options);
    // A start past the intro meets every cut now; from the start they are met over the intro's
    // first, all but black frames, with the music already playing.
    if (options.start > 0)
        rehearseScenes();
    else
        scheduleRehearsal();
    if (demoSettings.soundEnabled) {
        audioApi.start();
        demoState.musicHandle = audioApi.musicLoad(musicModuleFile);
        if (demoState.musicHandle == 0) reportAudioError("Can't load music");
        if (!audioApi.musicPlay(demoState.musicHandle)) reportAudioError("Can't play music");
    }
    demoState.showTime = options.showTime;
    demoState.showFps = options.showFps;
    if (offline && !beginOfflineRender(options)) {
        closeGlWindow();
        return 1;
    }
    // Offline runs never start late or loop: the options refuse --start and --loop with them.
    startPlaying(options);
    runDemoSequence();
    while (options.loop && !demoState.quitRequested) {
        rewindDemo();
        startPlaying(options);
        runDemoSequence();
    }
    bool offlineOk = true;
    if (offline) offlineOk = finishOfflineRender();
    audioApi.stop();
    audioApi.free();
    closeGlWindow();
    // A demo that played to its end, or that the user ended, has done what was asked.
    return offlineOk ? 0 : 1;
}

int runDemoProgram(int argc, char** argv)
{
    DemoOptions options;
    std::string error;
    if (!parseDemoOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "demotorva: %s\n%s", error.c_str(), demoTryHelp);
        return 2;
    }
    if (options.help) {
        std::fputs(demoUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("DemoTORVA %s\n", DEMOTORVA_VERSION);
        return 0;
    }
    if (offlineRequested(options) && !checkOfflineTools(options)) return 1;
    // Output paths are taken relative to where the command was given, not to the data folder.
    std::error_code e;
    for (std::string* path : {&options.recordFile, &options.framesDir, &options.audioFile})
        if (!path->empty()) *path = fs::absolute(*path, e).string();
    if (!chooseDataFolder(options.dataDir, argc > 0 ? argv[0] : nullptr)) return 2;
    if (audioOnlyRequested(options)) return renderAudioOnly(options);
    return playDemo(options);
}
