// Desktop icons from the data pack's own logo. The logo is read back from the pack rather than
// painted again, so the icon always shows the logo the demo shows. Every size is filtered down
// from one large tile, in premultiplied alpha so the tile's clear corners leave no dark fringe.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "image.h"
#include "palette.h"
#include "platform/png_file.h"

namespace fs = std::filesystem;

namespace {
constexpr int masterSize = 512;

// Reads an uncompressed true-colour TGA (the kind the generator writes), top row first.
bool readTga(const fs::path& path, Image& image)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 18 || data[2] != 2 || (data[16] != 24 && data[16] != 32)) return false;
    const int width = data[12] | data[13] << 8, height = data[14] | data[15] << 8;
    const size_t bytes = data[16] / 8, start = 18 + data[0];
    if (width == 0 || height == 0 || data.size() < start + bytes * width * height) return false;
    const bool topFirst = (data[17] & 0x20) != 0;
    image = makeImage(width, height, {});
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &data[start + bytes * (static_cast<size_t>(row) * width + x)];
            pixelAt(image, x, topFirst ? row : height - 1 - row) = {
                p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, bytes == 4 ? p[3] / 255.0f : 1.0f};
        }
    return true;
}

// The smallest rectangle holding every pixel of the logo that shows (its glow included).
void visibleBounds(const Image& image, int& x0, int& y0, int& x1, int& y1)
{
    x0 = image.width, y0 = image.height, x1 = -1, y1 = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (pixelAt(image, x, y).a > 0.04f) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
}

// Bilinear sample in premultiplied alpha, clear outside the picture.
Colour samplePremultiplied(const Image& image, float fx, float fy)
{
    const int x = static_cast<int>(std::floor(fx)), y = static_cast<int>(std::floor(fy));
    const float tx = fx - x, ty = fy - y;
    Colour sum{0, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        const int sx = x + (k & 1), sy = y + (k >> 1);
        if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height) continue;
        const float w = ((k & 1) ? tx : 1 - tx) * ((k >> 1) ? ty : 1 - ty);
        const Colour& c = pixelAt(image, sx, sy);
        sum.r += c.r * c.a * w, sum.g += c.g * c.a * w, sum.b += c.b * c.a * w, sum.a += c.a * w;
    }
    return sum;
}

// The rounded tile with the logo across it, at masterSize, straight alpha.
Image paintTile(const Image& logo)
{
    const float n = masterSize, corner = n * 0.18f;
    Image tile = makeImage(masterSize, masterSize, {paletteNight.r, paletteNight.g, paletteNight.b, 0.0f});
    for (int y = 0; y < masterSize; ++y)
        for (int x = 0; x < masterSize; ++x) {
            // Coverage of the rounded square, antialiased over one pixel.
            const float px = std::fabs(x + 0.5f - n / 2) - (n / 2 - corner);
            const float py = std::fabs(y + 0.5f - n / 2) - (n / 2 - corner);
            const float outside = std::hypot(std::max(px, 0.0f), std::max(py, 0.0f)) - corner;
            const float dx = (x - n / 2) / (n / 2), dy = (y - n * 0.5f) / (n / 2);
            const float r = std::sqrt(dx * dx + dy * dy);
            Colour c = mixColour(paletteNight, paletteDeep, 0.7f * smoothStep(1.5f, 0.0f, r));
            c = mixColour(c, paletteAmber, 0.2f * std::exp(-r * r * 5.0f));
            blendOver(tile, x, y, c, clamp01(0.5f - outside));
        }
    int x0, y0, x1, y1;
    visibleBounds(logo, x0, y0, x1, y1);
    if (x1 < x0) return tile;
    // The logo fills most of the tile's width, centred.
    const float scale = std::min(n * 0.86f / (x1 - x0 + 1), n * 0.6f / (y1 - y0 + 1));
    const float left = (n - (x1 - x0 + 1) * scale) / 2, top = (n - (y1 - y0 + 1) * scale) / 2;
    for (int y = 0; y < masterSize; ++y)
        for (int x = 0; x < masterSize; ++x) {
            const Colour s = samplePremultiplied(logo, x0 + (x + 0.5f - left) / scale - 0.5f,
                                                 y0 + (y + 0.5f - top) / scale - 0.5f);
            if (s.a <= 0.0f) continue;
            blendOver(tile, x, y, {s.r / s.a, s.g / s.a, s.b / s.a, 1.0f}, s.a * pixelAt(tile, x, y).a);
        }
    return tile;
}

// Area average of the master tile down to size x size, as 8-bit RGBA rows.
std::vector<unsigned char> shrink(const Image& tile, int size)
{
    std::vector<unsigned char> rows(static_cast<size_t>(size) * size * 4);
    const double step = static_cast<double>(tile.width) / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0, weight = 0;
            // Each source pixel weighs by how much of it lies inside the target pixel.
            for (int sy = static_cast<int>(y * step); sy < std::min(tile.height, static_cast<int>(std::ceil((y + 1) * step))); ++sy)
                for (int sx = static_cast<int>(x * step); sx < std::min(tile.width, static_cast<int>(std::ceil((x + 1) * step))); ++sx) {
                    const double wx = std::min(sx + 1.0, (x + 1) * step) - std::max<double>(sx, x * step);
                    const double wy = std::min(sy + 1.0, (y + 1) * step) - std::max<double>(sy, y * step);
                    const Colour& c = pixelAt(tile, sx, sy);
                    const double w = wx * wy;
                    r += c.r * c.a * w, g += c.g * c.a * w, b += c.b * c.a * w, a += c.a * w;
                    weight += w;
                }
            unsigned char* out = &rows[(static_cast<size_t>(y) * size + x) * 4];
            const double alpha = a / weight;
            const auto byte = [](double v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
            out[0] = alpha > 0 ? byte(r / a) : 0;
            out[1] = alpha > 0 ? byte(g / a) : 0;
            out[2] = alpha > 0 ? byte(b / a) : 0;
            out[3] = byte(alpha);
        }
    return rows;
}
}  // namespace

bool writeIcons(const std::string& dataDir, const std::string& iconDir)
{
    const fs::path logoPath = fs::path(dataDir) / "maps" / "quibe.tga";
    Image logo;
    if (!readTga(logoPath, logo)) {
        std::fprintf(stderr, "demotorva-datapack: cannot read the logo %s\n", logoPath.c_str());
        return false;
    }
    const Image tile = paintTile(logo);
    for (int size : iconSizes) {
        const fs::path folder = fs::path(iconDir) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::error_code error;
        fs::create_directories(folder, error);
        const std::string file = (folder / "demotorva.png").string();
        if (!writePng(file.c_str(), size, size, 4, shrink(tile, size).data())) return writeFailed(file);
    }
    return true;
}
