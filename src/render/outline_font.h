// Outline font and the head-up overlays.
//
// One display list of flat glyph outlines per character code; a call of consecutive lists sets
// text left to right. The overlays print the demo time and the frame rate over the picture.
#pragma once

#include <cstdint>

struct OutlineFont {
    uint32_t listBase = 0;      // list of character c is listBase + c
    float advances[256] = {};   // advance of each glyph in em units
};

extern OutlineFont outlineFont;

void createOutlineFont();
void deleteOutlineFont();
// Draws formatted text centred on the current origin; leaves a horizontal translation in the
// modelview matrix.
void printCentred(const char* format, ...) __attribute__((format(printf, 1, 2)));
void drawTimeOverlay(float time);
void drawFpsOverlay();
