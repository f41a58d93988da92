// Outline font and the head-up overlays.
//
// One display list of flat glyph outlines per character code; a call of consecutive lists sets
// text left to right. The overlays print the demo time and the frame rate over the picture.
// Each scene's init creates the font and its cleanup deletes it, so the glyph lists are compiled
// once per scene, never per frame, from outlines the platform reads and tessellates once per
// process; printing is one glCallLists per text.
#pragma once

#include <cstdint>

constexpr int outlineFontGlyphCount = 255;  // character codes 0 to 254

struct OutlineFont {
    uint32_t listBase = 0;      // list of character c is listBase + c; 0 while no font exists
    float advances[256] = {};   // advance of each glyph in em units
};

extern OutlineFont outlineFont;

// Builds the 255 glyph lists of "Arial Narrow" (character height 24, normal weight). Needs the
// rendering context current. If the face or the lists cannot be had, text simply does not show.
void createOutlineFont();
// Deletes the lists; printing afterwards draws nothing until the font is created again.
void deleteOutlineFont();
// Draws formatted text (at most 255 characters, longer text is cut) centred on the current
// origin with the current colour and matrices; leaves a horizontal translation in the modelview
// matrix (callers push and pop). A null format draws nothing.
void printCentred(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The demo time, "Time  0M:SS.ss", centred near the top edge in green. Keeps the matrices,
// texturing and blending as they were.
void drawTimeOverlay(float time);
// The frame rate of the frame-rate meter, "fps: F.f", near the bottom right corner in green.
void drawFpsOverlay();
