// Offline rendering: the demo played into the offscreen context with frame k at demo time
// exactly k / fps, with no messages; frames read back after each swap go to PNG files or
// through ffmpeg into a video, the music is rendered from the module into a WAV. The same
// command gives the same bytes. --benchmark plays without readback and prints frame rates per
// scene beside a baseline frame. Frames are drawn at demoSettings' size, supersample times the
// output size.
#pragma once

#include "core/demo_options.h"

// Checks what the requested outputs need before anything starts: ffmpeg for --record, an
// offered extension (.mp4 or .mkv, .wav), an existing writable folder for every output; makes
// the --frames folder. False with a message naming the file and the reason.
bool checkOfflineTools(const DemoOptions& options);
// True when only --audio is asked for: the music is rendered without drawing anything.
bool audioOnlyRequested(const DemoOptions& options);
// Writes the --audio stretch and returns the exit status (0, or 1 when it failed).
int renderAudioOnly(const DemoOptions& options);
// Called once the window and data are ready, before the clock starts.
bool beginOfflineRender(const DemoOptions& options);
// Called after the sequence; writes the sound and closes the video. False when a file failed
// or SIGINT or SIGTERM stopped the run (nothing half-written is left).
bool finishOfflineRender();
