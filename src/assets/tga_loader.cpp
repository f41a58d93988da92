// TGA texture loader (not yet reading).
#include "assets/tga_loader.h"

TgaStatus readTgaImage(const char*, TgaImage&) { return TgaCannotOpen; }
void freeTgaImage(TgaImage& image) { delete[] image.pixels; image.pixels = nullptr; }
TgaStatus loadTgaTexture(const char*, TextureId) { return TgaCannotOpen; }
