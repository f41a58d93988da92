// Pictures the generator paints: floating-point RGBA canvases, the few painting operations
// every picture shares, tileable noise, and the TGA writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

// Rows are held top row first, as they are painted; the writer stores them bottom row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;
};

Image makeImage(int width, int height, Colour fill);
Colour& pixelAt(Image& image, int x, int y);
const Colour& pixelAt(const Image& image, int x, int y);
// Straight-alpha "over" of colour c at coverage onto one pixel.
void blendOver(Image& image, int x, int y, Colour c, float coverage);
// Box blur of the alpha channel only, clamped at the edges, repeated passes.
void blurAlpha(Image& image, int radius, int passes);
// A copy whose coverage (alpha) is dilated by about radius pixels: blurred, then multiplied by
// gain and clamped, for outlines and shadows drawn around lettering.
Image dilatedAlpha(const Image& image, int radius, float gain);

// Writes an uncompressed true-colour TGA, 32-bit with alpha or 24-bit without, bottom row
// first. Sides must be powers of two from 2 to 512. False when the file cannot be written,
// after a line on standard error that names the file and the system's reason.
bool writeTga(const std::string& path, const Image& image, bool withAlpha);

// The line every writer of the pack gives for a file it could not write: the file and the
// system's reason (errno), or the reason given. Returns false, for `return writeFailed(path);`.
bool writeFailed(const std::string& path, const char* reason = nullptr);

// Value noise on an integer lattice of period cells in both directions, so pictures built on
// it tile seamlessly; fractal sums of octaves with doubled period.
float latticeNoise(float x, float y, int period, uint32_t seed);
float fractalNoise(float x, float y, int period, int octaves, uint32_t seed);

float clamp01(float v);
float smoothStep(float edge0, float edge1, float v);
float mix(float a, float b, float t);
Colour mixColour(Colour a, Colour b, float t);
