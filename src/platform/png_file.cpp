// PNG writing on libpng: fast settings, since offline rendering writes one file per frame.
#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>

namespace {
// libpng's own handler prints "libpng error: Write Error" before giving up; the caller says
// what failed, with the system's reason, in a line of its own.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

// Closes file, keeping the errno of the failure that came first.
bool closeKeepingReason(std::FILE* file, bool ok)
{
    const int reason = errno;
    const bool closed = std::fclose(file) == 0;
    if (!ok) errno = reason;
    return ok && closed;
}
}  // namespace

bool writePng(const char* path, int width, int height, int channels, const unsigned char* rows)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        const int reason = errno != 0 ? errno : EIO;
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        errno = reason;
        return false;
    }
    errno = 0;
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rows + static_cast<size_t>(y) * width * channels));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // Buffered bytes reach the disk here; a full disk shows at this flush.
    return closeKeepingReason(file, std::fflush(file) == 0 && std::ferror(file) == 0);
}
