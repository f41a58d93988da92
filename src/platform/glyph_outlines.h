// Glyph outlines: flat, tessellated glyphs of a system font as OpenGL display lists.
//
// Stands in for the font creation and outline calls of the original platform. The face is the
// one fontconfig matches for the requested family, height and weight ("Arial Narrow" resolves
// to a metric-compatible narrow sans); FreeType reads its outlines in design units, curves are
// flattened to well under a pixel at any size the demo shows text, and the GLU tessellator fills
// them under the non-zero winding rule of TrueType outlines.
//
// Reading a face and tessellating its glyphs costs tens of milliseconds warm and a few hundred
// in a fresh process (fontconfig's first match loads its caches), so each font request is read
// once per process and its tessellated glyphs are kept here; every later build only compiles
// display lists from what is kept. Call from one thread, with a rendering context current.
#pragma once

#include <cstdint>

// Builds count display lists from listBase for character codes first .. first + count - 1
// (128 and above read as Windows-1252) of the face fontconfig matches for faceName. Each list
// draws the glyph in the z = 0 plane in em units and ends with a translation by its advance,
// stored into advances[code]. Without a face the lists draw nothing. True when a face was found.
//
// pixelHeight is the character (em) height the face is asked for, weight a Windows font weight
// (400 normal, 700 bold). A code the face has no glyph for gets a list that draws nothing and
// advances like the face's missing glyph. A null or empty faceName finds no face; so does a
// listBase of 0 (no lists to fill), or codes beyond 255, build nothing at all. When no face is
// found the lists are still made, advances are 0, and standard error names the face that was
// missing (once per process and request).
bool buildGlyphOutlines(const char* faceName, int pixelHeight, int weight, uint32_t listBase,
                        int first, int count, float* advances);
// How many font requests have been read from their face files (found or not) in this process.
int glyphOutlineFaceReads();
