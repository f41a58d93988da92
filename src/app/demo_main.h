// Program entry: start-up, the demo sequence and shutdown, in the demo's fixed order.
#pragma once

#include "core/demo_options.h"

// The whole program for argv; returns the process exit code: 0 when the demo played to its end
// or the user ended it, 1 when it could not start or an offline output failed, 2 for a bad
// option or data folder.
int runDemoProgram(int argc, char** argv);
// Start-up and run with options already parsed and the data folder already chosen.
int playDemo(const DemoOptions& options);
// The loading picture, the loading screen and every scene's load, in order.
bool loadEverything();
// Shows message with the audio error code in a box captioned "Error", and under them the hint
// (what to do) when one is given.
void reportAudioError(const char* message, const char* hint = nullptr);
