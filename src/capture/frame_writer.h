// The frames of offline rendering on their way out: a small ring of frame buffers that the
// drawing thread reads the picture into, and one writer thread that filters supersampled frames
// down and writes them as PNG files or into the video encoder's pipe. Drawing the next frame
// thus runs beside filtering, compressing and encoding the previous ones.
//
// Pixels are BGRA, rows bottom first, as glReadPixels(GL_BGRA) gives them: the software
// renderer's own layout, so the read is a plain copy.
//
// Usage:
//     FrameWriterSettings settings{...};
//     startFrameWriter(settings);
//     unsigned char* pixels = frameWriterBuffer();   // blocks while every buffer is queued
//     glReadPixels(0, 0, w * scale, h * scale, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
//     submitFrame(k, k / double(fps));
//     ...
//     bool ok = stopFrameWriter();                   // writes what is queued, joins the thread
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VideoEncoder;

struct FrameWriterSettings {
    int width = 0, height = 0;   // output frame size
    int scale = 1;               // frames are drawn scale times larger and filtered down
    std::string framesDir;       // PNG files go here; empty for none
    VideoEncoder* video = nullptr;  // frames go into this encoder's pipe; null for none
};

bool startFrameWriter(const FrameWriterSettings& settings);
// The buffer for the next frame: width * scale x height * scale pixels of 4 bytes.
unsigned char* frameWriterBuffer();
// Queues the frame last read into frameWriterBuffer, drawn at demo time seconds.
void submitFrame(int64_t number, double seconds);
// True once a write failed; the frames after it are dropped.
bool frameWriterFailed();
// Writes every queued frame (none when discard is set) and ends the thread. False when a
// write failed.
bool stopFrameWriter(bool discard = false);
// PNG files written whole since startFrameWriter.
int64_t frameFilesWritten();

// The PNG file name of frame number at demo time seconds: both in the name, the time to the
// microsecond (every whole frame rate up to 240 gives distinct, correctly rounded times).
std::string frameFileName(int64_t number, double seconds);
// Averages every scale x scale block of source (width * scale x height * scale BGRA pixels)
// into one pixel of target (width x height).
void shrinkFrame(const unsigned char* source, int width, int height, int scale, unsigned char* target);
// BGRA rows bottom first to RGB rows top first, as PNG files store them.
void uprightRgb(const unsigned char* source, int width, int height, std::vector<unsigned char>& rgb);
