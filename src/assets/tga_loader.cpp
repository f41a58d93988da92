// TGA texture loader: uncompressed true-colour pictures, read for reading only, byte-swapped
// from B, G, R (A) to R, G, B (A) and uploaded under the caller's texture name. Every check
// happens before any GL call, so a failed load leaves the name and all GL state untouched.
#include "assets/tga_loader.h"

#include <GL/gl.h>

#include <cstdio>
#include <new>

#include "platform/files.h"

namespace {
bool validSide(int side)
{
    for (int s = 2; s <= 512; s *= 2)
        if (side == s) return true;
    return false;
}
}  // namespace

TgaStatus readTgaImage(const char* path, TgaImage& image)
{
    image = TgaImage{};
    // Opened for reading only: the loader never writes, and a read-only picture must load.
    const std::string resolved = resolvePath(path);
    std::FILE* file = std::fopen(resolved.c_str(), "rb");
    if (!file) {
        noteMissingFile(resolved);
        return TgaCannotOpen;
    }
    unsigned char head[3] = {};
    unsigned char geometry[6] = {};  // width, height, pixel depth, descriptor
    bool headerRead = std::fread(head, 1, 3, file) == 3 && std::fseek(file, 12, SEEK_SET) == 0 &&
                      std::fread(geometry, 1, 6, file) == 6;
    if (!headerRead || head[1] != 0 || head[2] != 2) {
        std::fclose(file);
        // A file too short for its header holds no true-colour image.
        return headerRead ? TgaNotTrueColour : TgaShortData;
    }
    int width = geometry[0] + 256 * geometry[1];
    int height = geometry[2] + 256 * geometry[3];
    int depth = geometry[4];
    if (!validSide(width) || !validSide(height)) {
        std::fclose(file);
        return TgaBadSize;
    }
    if (depth != 32 && depth != 24) {
        std::fclose(file);
        return TgaBadDepth;
    }
    size_t bytesPerPixel = static_cast<size_t>(depth / 8);
    size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * bytesPerPixel;
    unsigned char* pixels = nullptr;
    if (std::fseek(file, 18 + head[0], SEEK_SET) == 0) {
        pixels = new (std::nothrow) unsigned char[size];
        if (pixels && std::fread(pixels, 1, size, file) != size) {
            delete[] pixels;
            pixels = nullptr;
        }
    }
    if (pixels)
        for (size_t i = 0; i < size; i += bytesPerPixel) {
            unsigned char b = pixels[i];
            pixels[i] = pixels[i + 2];
            pixels[i + 2] = b;
        }
    std::fclose(file);
    if (!pixels) return TgaShortData;
    image.width = width;
    image.height = height;
    image.depth = depth;
    image.pixels = pixels;
    return TgaLoaded;
}

void freeTgaImage(TgaImage& image)
{
    delete[] image.pixels;
    image.pixels = nullptr;
}

TgaStatus loadTgaTexture(const char* path, TextureId texture)
{
    TgaImage image;
    TgaStatus status = readTgaImage(path, image);
    if (status != TgaLoaded) return status;
    GLenum format = image.depth == 32 ? GL_RGBA : GL_RGB;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.pixels);
    freeTgaImage(image);
    return TgaLoaded;
}

TgaStatus loadTgaTextures(const TgaPicture* pictures, int count)
{
    TgaStatus status = TgaLoaded;
    for (int i = 0; i < count; ++i) status = loadTgaTexture(pictures[i].file, pictures[i].texture);
    return status;
}
