// Shared drawing helpers (not yet drawing).
#include "render/draw_helpers.h"

void drawScreenQuad() {}
void fadeScreen(int, float, float, float) {}
void flashScreen(float, float, float, float) {}
void createBlankTexture(TextureId*, int, int, unsigned int, int) {}
void drawTexturedQuad(float, float, float, float, float, float, float) {}
