// Glyph outlines (not yet building glyphs).
#include "platform/glyph_outlines.h"

bool buildGlyphOutlines(const char*, int, int, uint32_t, int, int, float*) { return false; }
