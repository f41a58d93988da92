// Glyph outlines: flat, tessellated glyphs of a system font as OpenGL display lists.
#pragma once

#include <cstdint>

// Builds count display lists from listBase for character codes first .. first + count - 1
// (128 and above read as Windows-1252) of the face fontconfig matches for faceName. Each list
// draws the glyph in the z = 0 plane in em units and ends with a translation by its advance,
// stored into advances[code]. Without a face the lists draw nothing. True when a face was found.
bool buildGlyphOutlines(const char* faceName, int pixelHeight, int weight, uint32_t listBase,
                        int first, int count, float* advances);
