// Support for the tunnel, credits and end suites: the demo time a frame gets from the demo
// clock, and frames of the demo rendered offline by the real executable, read back as pixels.
#pragma once

#include <string>
#include <vector>

// Demo time of frame number frame at fps frames per second, on the clock's 1/70 s steps.
float demoClockTime(long frame, int fps);

// One frame read from a PNG file, rows top first, RGB.
struct FramePicture {
    int width = 0, height = 0;
    float time = 0.0f;  // demo time the frame was drawn with, from its file name
    std::vector<unsigned char> rgb;
};

struct PixelColour {
    int r = 0, g = 0, b = 0;
};

// Colour at (x, y), y counted from the top.
PixelColour pixelAt(const FramePicture& picture, int x, int y);
// Mean colour of the rectangle [x0, x1) x [y0, y1), y counted from the top.
PixelColour meanColour(const FramePicture& picture, int x0, int y0, int x1, int y1);
// Standard deviation of the luminance (mean of the channels) over the rectangle: 0 for one
// flat colour, larger for texture or structure.
double luminanceSpread(const FramePicture& picture, int x0, int y0, int x1, int y1);
// Share of pixels in the rectangle whose largest channel exceeds threshold.
double brightShare(const FramePicture& picture, int x0, int y0, int x1, int y1, int threshold);
// Mean absolute difference of two frames of the same size, per channel, 0..255.
double meanDifference(const FramePicture& a, const FramePicture& b);

bool readFramePicture(const std::string& path, FramePicture& picture);

// Renders the demo offline into dir, writing the frames from..to at fps, and reads back those
// drawn at the wanted times (within half a frame); times lists the demo time of every frame
// written. The pack is the build's data pack, or the folder named by DEMOTORVA_TEST_PACK.
// False when the program fails or a wanted frame is missing.
struct DemoFrames {
    int exitCode = -1;
    std::vector<float> times;
    std::vector<FramePicture> frames;
};
bool renderDemoFrames(const std::string& dir, double from, double to, int fps,
                      const std::vector<float>& wanted, DemoFrames& out, const std::string& pack = "");
// The pack the suites render with: DEMOTORVA_TEST_PACK when set, else the build's data pack.
std::string testPackDir();
// Builds in dir a pack of links to every file of the test pack except those named (paths
// inside the pack), so that a probe can watch one thing without another drawn over it. Returns
// dir, or an empty string when the links cannot be made.
std::string packWithout(const std::string& dir, const std::vector<std::string>& left);
// Share of the pixels of the rectangle [x0, x1) x [y0, y1) whose luminance differs between the
// two frames by more than threshold.
double changedShare(const FramePicture& a, const FramePicture& b, int x0, int y0, int x1, int y1, int threshold);
// The frame read back that was drawn closest to demo time t.
const FramePicture& frameNear(const DemoFrames& run, float t);
