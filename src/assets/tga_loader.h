// TGA texture loader.
//
// Reads uncompressed true-colour TGA pictures of 24 or 32 bits whose sides are powers of two
// from 2 to 512 and uploads them under a texture name the caller chooses. A failed load leaves
// the name and all GL state untouched; the status says why.
#pragma once

#include <cstdint>

using TextureId = uint32_t;

// Result of loadTgaTexture.
enum TgaStatus : int {
    TgaLoaded = 1,          // loaded and uploaded
    TgaCannotOpen = 13,     // the file cannot be opened
    TgaNotTrueColour = 14,  // colour-map type not 0 or image type not 2
    TgaBadSize = 15,        // a side is not a power of two from 2 to 512
    TgaBadDepth = 16,       // pixel depth neither 24 nor 32
    TgaShortData = 17,      // the pixel data cannot be read in full
};

// Header and pixels of a TGA file, as the loader reads them (rows in file order, RGB or RGBA).
struct TgaImage {
    int width = 0;
    int height = 0;
    int depth = 0;               // 24 or 32
    unsigned char* pixels = nullptr;  // width * height * depth / 8 bytes, owned
};

// Reads and checks a picture without touching GL. On success the caller frees image.pixels
// with freeTgaImage.
TgaStatus readTgaImage(const char* path, TgaImage& image);
void freeTgaImage(TgaImage& image);

// Reads path and uploads it into texture (GL_RGB or GL_RGBA, linear filters, repeat wrap).
TgaStatus loadTgaTexture(const char* path, TextureId texture);

// A picture file and the texture name it is loaded into.
struct TgaPicture {
    TextureId texture;
    const char* file;
};
// Loads every picture of the table in order; the status of the last one.
TgaStatus loadTgaTextures(const TgaPicture* pictures, int count);
