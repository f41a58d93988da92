// BGRA rows, bottom first, to an upright 4:2:0 picture (planes Y, U, V).
#include "capture/frame_yuv.h"

#include <cstddef>
#include <cstdint>

namespace {
inline uint8_t lumaOf(int r, int g, int b)
{
    return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}
}  // namespace

void bgraToI420(const unsigned char* source, int width, int height, std::vector<unsigned char>& yuv)
{
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    yuv.resize(w * h * 3 / 2);
    uint8_t* const yPlane = yuv.data();
    uint8_t* const uPlane = yPlane + w * h;
    uint8_t* const vPlane = uPlane + (w / 2) * (h / 2);
    for (size_t row = 0; row + 1 < h; row += 2) {
        // Picture rows row and row + 1 are OpenGL's rows h - 1 - row and h - 2 - row.
        const uint8_t* upper = source + (h - 1 - row) * w * 4;
        const uint8_t* lower = source + (h - 2 - row) * w * 4;
        uint8_t* yUpper = yPlane + row * w;
        uint8_t* yLower = yUpper + w;
        uint8_t* u = uPlane + (row / 2) * (w / 2);
        uint8_t* v = vPlane + (row / 2) * (w / 2);
        for (size_t x = 0; x < w; x += 2) {
            const uint8_t* a = upper + x * 4;
            const uint8_t* c = lower + x * 4;
            yUpper[x] = lumaOf(a[2], a[1], a[0]);
            yUpper[x + 1] = lumaOf(a[6], a[5], a[4]);
            yLower[x] = lumaOf(c[2], c[1], c[0]);
            yLower[x + 1] = lumaOf(c[6], c[5], c[4]);
            // Sums of four: the mean's chroma, with the division folded into the shift.
            const int r = a[2] + a[6] + c[2] + c[6], g = a[1] + a[5] + c[1] + c[5], b = a[0] + a[4] + c[0] + c[4];
            u[x / 2] = static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 512) >> 10) + 128);
            v[x / 2] = static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 512) >> 10) + 128);
        }
    }
}
