// Offscreen GL context and small file helpers shared by the test suites.
#include "support/gl_context.h"

#include <GL/gl.h>
#include <SDL.h>
#include <png.h>

#include <cstdio>
#include <fstream>

namespace {
SDL_Window* testWindow = nullptr;
SDL_GLContext testContext = nullptr;
}

bool openTestGlContext(int width, int height)
{
    if (testContext) {
        SDL_SetWindowSize(testWindow, width, height);
        glViewport(0, 0, width, height);
        return true;
    }
    if (!SDL_getenv("SDL_VIDEODRIVER")) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "test context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);  // as the demo's window
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    testWindow = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!testWindow) {
        std::fprintf(stderr, "test context: %s\n", SDL_GetError());
        return false;
    }
    testContext = SDL_GL_CreateContext(testWindow);
    if (!testContext) {
        std::fprintf(stderr, "test context: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(testWindow, testContext);
    glViewport(0, 0, width, height);
    return true;
}

Rgb readPixel(int x, int y)
{
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgb{p[0], p[1], p[2]};
}

bool writeFramebufferPng(const std::string& path, int width, int height)
{
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = height - 1; row >= 0; --row)
        png_write_row(png, rgb.data() + size_t(row) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

std::vector<unsigned char> makeTga(int width, int height, int depth,
                                   const std::vector<unsigned char>& pixels, int imageType,
                                   int colourMapType, int idLength)
{
    std::vector<unsigned char> bytes(18, 0);
    bytes[0] = static_cast<unsigned char>(idLength);
    bytes[1] = static_cast<unsigned char>(colourMapType);
    bytes[2] = static_cast<unsigned char>(imageType);
    bytes[12] = static_cast<unsigned char>(width & 0xff);
    bytes[13] = static_cast<unsigned char>(width >> 8);
    bytes[14] = static_cast<unsigned char>(height & 0xff);
    bytes[15] = static_cast<unsigned char>(height >> 8);
    bytes[16] = static_cast<unsigned char>(depth);
    for (int i = 0; i < idLength; ++i) bytes.push_back(static_cast<unsigned char>('i'));
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bool(out);
}
