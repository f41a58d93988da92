// Canvas operations, noise and the TGA writer of the data-pack generator. Every value is
// computed in a fixed order from fixed seeds, so each run writes the same bytes.
#include "image.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>

Image makeImage(int width, int height, Colour fill)
{
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, fill);
    return image;
}

Colour& pixelAt(Image& image, int x, int y) { return image.pixels[static_cast<size_t>(y) * image.width + x]; }
const Colour& pixelAt(const Image& image, int x, int y)
{
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}

void blendOver(Image& image, int x, int y, Colour c, float coverage)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    Colour& d = pixelAt(image, x, y);
    const float sa = clamp01(c.a * coverage);
    const float outA = sa + d.a * (1.0f - sa);
    if (outA <= 0.0f) {
        // Fully clear pixels keep the colour being painted so that filtering at the edges of
        // shapes never pulls in a dark fringe.
        d.r = c.r;
        d.g = c.g;
        d.b = c.b;
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1.0f - sa)) / outA;
    d.g = (c.g * sa + d.g * d.a * (1.0f - sa)) / outA;
    d.b = (c.b * sa + d.b * d.a * (1.0f - sa)) / outA;
    d.a = outA;
}

namespace {
template <typename Get, typename Set>
void boxPass(int width, int height, int radius, Get get, Set set)
{
    std::vector<float> line;
    // Horizontal then vertical, each a running mean over 2 * radius + 1 samples.
    for (int pass = 0; pass < 2; ++pass) {
        const int n = pass == 0 ? width : height;
        const int lines = pass == 0 ? height : width;
        line.resize(n);
        for (int l = 0; l < lines; ++l) {
            for (int i = 0; i < n; ++i) line[i] = pass == 0 ? get(i, l) : get(l, i);
            for (int i = 0; i < n; ++i) {
                float sum = 0.0f;
                for (int k = -radius; k <= radius; ++k) {
                    sum += line[std::clamp(i + k, 0, n - 1)];
                }
                const float v = sum / static_cast<float>(2 * radius + 1);
                if (pass == 0)
                    set(i, l, v);
                else
                    set(l, i, v);
            }
        }
    }
}
}  // namespace

void blurAlpha(Image& image, int radius, int passes)
{
    for (int p = 0; p < passes; ++p)
        boxPass(
            image.width, image.height, radius, [&](int x, int y) { return pixelAt(image, x, y).a; },
            [&](int x, int y, float v) { pixelAt(image, x, y).a = v; });
}

Image dilatedAlpha(const Image& image, int radius, float gain)
{
    Image d = image;
    blurAlpha(d, radius, 2);
    for (Colour& c : d.pixels) c.a = clamp01(c.a * gain);
    return d;
}

namespace {
bool powerOfTwoSide(int n) { return n >= 2 && n <= 512 && (n & (n - 1)) == 0; }
uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }
}  // namespace

bool writeTga(const std::string& path, const Image& image, bool withAlpha)
{
    if (!powerOfTwoSide(image.width) || !powerOfTwoSide(image.height))
        return writeFailed(path, "a side is not a power of two from 2 to 512");
    const int bytesPerPixel = withAlpha ? 4 : 3;
    std::vector<uint8_t> data(18 + static_cast<size_t>(image.width) * image.height * bytesPerPixel);
    data[2] = 2;  // uncompressed true colour
    data[12] = static_cast<uint8_t>(image.width & 0xff);
    data[13] = static_cast<uint8_t>(image.width >> 8);
    data[14] = static_cast<uint8_t>(image.height & 0xff);
    data[15] = static_cast<uint8_t>(image.height >> 8);
    data[16] = static_cast<uint8_t>(bytesPerPixel * 8);
    data[17] = withAlpha ? 8 : 0;  // alpha bits; origin bottom left
    size_t at = 18;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Colour& c = pixelAt(image, x, y);
            data[at++] = toByte(c.b);
            data[at++] = toByte(c.g);
            data[at++] = toByte(c.r);
            if (withAlpha) data[at++] = toByte(c.a);
        }
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return writeFailed(path);
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    if (std::fclose(file) != 0 || !written) return writeFailed(path);
    return true;
}

namespace {
float latticeValue(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffff) / 16777215.0f;
}
}  // namespace

float latticeNoise(float x, float y, int period, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    auto at = [&](int i, int j) {
        return latticeValue(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const float a = mix(at(ix, iy), at(ix + 1, iy), sx);
    const float b = mix(at(ix, iy + 1), at(ix + 1, iy + 1), sx);
    return mix(a, b, sy);
}

float fractalNoise(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * latticeNoise(x, y, period, seed + static_cast<uint32_t>(o) * 101u);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
float smoothStep(float edge0, float edge1, float v)
{
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
float mix(float a, float b, float t) { return a + (b - a) * t; }
Colour mixColour(Colour a, Colour b, float t)
{
    return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t), mix(a.a, b.a, t)};
}

bool writeFailed(const std::string& path, const char* reason)
{
    if (!reason) reason = errno != 0 ? std::strerror(errno) : "the write did not complete";
    std::fprintf(stderr, "demotorva-datapack: cannot write %s: %s\n", path.c_str(), reason);
    return false;
}
