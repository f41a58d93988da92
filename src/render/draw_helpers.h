// Shared drawing helpers: the screen quad, timed fades and flashes, the blank copy-target
// texture and textured rectangles.
#pragma once

#include "assets/tga_loader.h"

enum FadeDirection : int {
    FadeIn = 0,
    FadeOut = 1,
};

void drawScreenQuad();
void fadeScreen(int direction, float start, float end, float time);
void flashScreen(float start, float end, float time, float peak);
void createBlankTexture(TextureId* names, int size, int components, unsigned int format, int index);
void drawTexturedQuad(float x, float y, float z, float width, float height, float sMax, float tMax);
