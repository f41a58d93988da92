// Offline rendering: the demo played into the offscreen context on a virtual counter that
// advances exactly 1/fps seconds per frame, with no messages; frames read back after each swap
// go to PNG files or through ffmpeg into a video, the music is rendered from the module into a
// WAV. The same command gives the same bytes. --benchmark plays without readback and prints
// frame rates per scene beside a baseline frame.
#pragma once

#include "shell/demo_options.h"

// Checks what the requested outputs need (ffmpeg for --record) before anything starts; false
// with a message naming the package to install.
bool checkOfflineTools(const DemoOptions& options);
// Called once the window and data are ready, before the clock starts.
bool beginOfflineRender(const DemoOptions& options);
// Called after the sequence; writes the sound and closes the video. False when a file failed.
bool finishOfflineRender();
