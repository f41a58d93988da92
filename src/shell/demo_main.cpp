// Program entry: opens the window, checks and starts the audio, shows the loading picture,
// loads every scene, starts the music and the clock, plays the sequence and shuts down.
#include "shell/demo_main.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "assets/tga_loader.h"
#include "platform/audio.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "scenes/credits_scene.h"
#include "scenes/end_scene.h"
#include "scenes/intro_scene.h"
#include "scenes/temple_scene.h"
#include "scenes/tunnel_scene.h"
#include "shell/demo_clock.h"
#include "shell/demo_state.h"
#include "shell/gl_window.h"
#include "shell/offline_render.h"
#include "shell/scene_runner.h"

namespace fs = std::filesystem;

namespace {
constexpr TextureId loadingTexture = 0;

bool holdsDemoFiles(const fs::path& dir)
{
    std::error_code e;
    return fs::exists(dir / "Mod_.it", e) || fs::exists(dir / "maps" / "loading.tga", e);
}
}  // namespace

bool chooseDataFolder(const std::string& dataDir, const char* argv0)
{
    std::error_code e;
    if (!dataDir.empty()) {
        fs::current_path(dataDir, e);
        if (e) {
            std::fprintf(stderr, "demotorva: cannot use data folder %s: %s\n", dataDir.c_str(),
                         e.message().c_str());
            return false;
        }
        return true;
    }
    if (holdsDemoFiles(fs::current_path(e))) return true;
    fs::path exe = fs::read_symlink("/proc/self/exe", e);
    if (e && argv0) exe = fs::absolute(argv0, e);
    fs::path beside = exe.parent_path() / "data";
    if (holdsDemoFiles(beside)) fs::current_path(beside, e);
    return true;
}

void reportAudioError(const char* message)
{
    char text[200];
    std::snprintf(text, sizeof text, "%s\n(error code: %d)", message, audioApi.errorGetCode());
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

int playDemo(const DemoOptions& options)
{
    bool offline = offlineRequested(options);
    if (offline) displayRequestOffscreen();
    // Offline runs read the frame back from the window itself, unscaled; interactive runs with
    // --desktop or --window draw into the offscreen frame and scale it.
    const char* title = "DemoTORVA - v 0.5b";
    chooseFrameSize(options);
    bool opened = !offline && (options.desktop || options.window)
                      ? openScaledGlWindow(title, demoSettings.width, demoSettings.height, 16, options.desktop,
                                           options.desktop && !frameSizeGiven(options))
                      : openGlWindow(title, demoSettings.width, demoSettings.height, 16,
                                     demoSettings.fullscreen && !options.window && !offline);
    if (!opened) return 0;
    if (audioApi.getVersion() != audioVersionWord) {
        showMessageBox("BASS version 0.8 was not loaded", "Incorrect BASS.DLL", MB_OK);
        return 0;
    }
    if (offline) {
        demoSettings.soundEnabled = false;
    } else if (!audioApi.init(-1, 44100, 16)) {
        reportAudioError("Can't initialize digital sound system");
        demoSettings.soundEnabled = false;
    }
    if (!loadEverything()) return 0;
    if (demoSettings.soundEnabled) {
        audioApi.start();
        demoState.musicHandle = audioApi.musicLoad("Mod_.it");
        if (demoState.musicHandle == 0) reportAudioError("Can't load music");
        if (!audioApi.musicPlay(demoState.musicHandle)) reportAudioError("Can't play music");
    }
    demoState.showTime = options.showTime;
    demoState.showFps = options.showFps;
    if (offline && !beginOfflineRender(options)) {
        closeGlWindow();
        return 1;
    }
    startClock();
    runDemoSequence();
    bool offlineOk = true;
    if (offline) offlineOk = finishOfflineRender();
    audioApi.stop();
    audioApi.free();
    closeGlWindow();
    if (offline) return offlineOk ? 0 : 1;
    return static_cast<int>(glWindow.message.wParam);
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
