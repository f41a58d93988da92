// Outline font and overlays (not yet drawing).
#include "render/outline_font.h"

OutlineFont outlineFont;

void createOutlineFont() {}
void deleteOutlineFont() {}
void printCentred(const char*, ...) {}
void drawTimeOverlay(float) {}
void drawFpsOverlay() {}
