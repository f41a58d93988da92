// A real OpenGL compatibility context for tests, on SDL's offscreen driver (Mesa's software
// renderer): no display needed. Opened once per test process and kept to its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Opens (once) a hidden 800 x 600 double-buffered window with a current GL context. Later
// calls with another size resize the drawable. False when no context can be had.
bool openTestGlContext(int width = 800, int height = 600);

// RGB of one pixel of the back buffer (origin bottom left), 0..255 each.
struct Rgb {
    int r = 0, g = 0, b = 0;
};
Rgb readPixel(int x, int y);

// Writes the current back buffer (width x height from the origin) as a PNG, top row first.
bool writeFramebufferPng(const std::string& path, int width, int height);

// A TGA file for the loader: header fields as given, pixels as given (no checks).
std::vector<unsigned char> makeTga(int width, int height, int depth,
                                   const std::vector<unsigned char>& pixels, int imageType = 2,
                                   int colourMapType = 0, int idLength = 0);
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
