// Program entry: start-up, the demo sequence and shutdown, in the demo's fixed order.
#pragma once

#include "shell/demo_options.h"

// The whole program for argv; returns the process exit code (0 after a start-up failure,
// otherwise the wParam of the last message taken, 27 after Escape).
int runDemoProgram(int argc, char** argv);
// Start-up and run with options already parsed and the data folder already chosen.
int playDemo(const DemoOptions& options);
// The loading picture, the loading screen and every scene's load, in order.
bool loadEverything();
// Shows message with the audio error code in a box captioned "Error".
void reportAudioError(const char* message);
