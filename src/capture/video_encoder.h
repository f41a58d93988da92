// The video encoder of offline rendering: ffmpeg run as a child process that reads raw frames
// from a pipe and writes H.264 with the music as AAC into MP4 or Matroska.
//
// ffmpeg gets an argument vector (no shell sees a file name), its own process group (a Ctrl-C
// at the terminal reaches the demo, which then stops ffmpeg itself), and writes into a hidden
// temporary file beside the output, renamed onto the output only when ffmpeg exits with status
// 0. A failure, SIGINT or SIGTERM leaves no temporary file behind; SIGPIPE is ignored, so a
// dead encoder fails a write instead of killing the demo.
//
// Usage:
//     installInterruptHandlers();
//     VideoEncoder encoder;
//     std::string error;
//     if (!startVideoEncoder(encoder, settings, error)) ...           // message names the file
//     while (...) writeVideoFrame(encoder, bottomUpPixels, bytes);    // false: stop drawing
//     if (!finishVideoEncoder(encoder, error)) ...                    // output renamed on success
//     // on any failure or interrupt: abortVideoEncoder(encoder);
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

struct VideoSettings {
    std::string file;           // the output; its extension chooses the container
    std::string audioFile;      // WAV muxed as AAC 192 kb/s; empty for none
    int width = 0, height = 0;  // frame size in pixels
    int fps = 60;
    int crf = 18;
    std::string preset;         // x264 preset; empty: defaultVideoPreset with defaultVideoTuning
    int threads = 0;            // encoder threads; 0: ffmpeg chooses
};

struct VideoEncoder {
    pid_t pid = -1;        // ffmpeg; -1 when none runs
    int pipe = -1;         // its standard input
    std::string tempFile;  // what ffmpeg writes until it succeeds
    std::string file;      // the output
};

// Without --preset: x264's fastest analysis (preset ultrafast) with the three tools that cost
// little time and save much size turned back on (CABAC, the deblocking filter, three B-frames).
// On the demo's pictures at crf 18 it takes about 0.6 of preset superfast's processor time for
// files 2 % larger and the same SSIM within 0.001, so the encoder leaves the renderer the most
// of two cores; plain ultrafast makes files 65 % larger.
extern const char* const defaultVideoPreset;
extern const char* const defaultVideoTuning;

// True when file's extension names a container offered (.mp4 or .mkv, any case).
bool videoContainerOffered(const std::string& file);
// A hidden name beside file for a temporary of this process ("what" tells them apart).
std::string temporaryBeside(const std::string& file, const char* what);

// SIGINT and SIGTERM set a flag (and interrupt a blocked pipe write) instead of ending the
// process; SIGPIPE is ignored. restoreInterruptHandlers puts the defaults back.
void installInterruptHandlers();
void restoreInterruptHandlers();
bool interruptRequested();
// Name of the signal that interrupted, for the message ("SIGINT"); empty when none.
const char* interruptSignalName();

bool startVideoEncoder(VideoEncoder& encoder, const VideoSettings& settings, std::string& error);
// Writes one frame, rows bottom first (as OpenGL reads them; ffmpeg turns it upright).
bool writeVideoFrame(VideoEncoder& encoder, const unsigned char* pixels, size_t bytes);
// Closes the pipe, waits for ffmpeg and renames its file onto the output. False (the
// temporary removed, error set) when ffmpeg failed.
bool finishVideoEncoder(VideoEncoder& encoder, std::string& error);
// Stops ffmpeg if it runs and removes its temporary file.
void abortVideoEncoder(VideoEncoder& encoder);
