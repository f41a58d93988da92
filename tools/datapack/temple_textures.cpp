// The temple's textures: its masonry, fluted shafts, frieze, tiles, door, the paving of its
// ground. The model's faces are few and large, so the detail lives here: joints,
// flutes and triglyphs are painted with the shade they would cast, weathering streaks the
// stone from above, and corners where light reaches less (the foot of a wall, the underside of
// the cornice, the necking of a column) are darkened as ambient occlusion would darken them.
// Pictures that repeat across a face tile seamlessly; those spanning a face once (the wall, the
// shaft) carry their shade at their ends. No value reaches 1: the lights bring a face to just
// under full brightness, and the texture keeps it off white.
#include "models.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "image.h"

namespace {
constexpr float pi = 3.14159265358979f;

// Exact lattice value: one random number per whole (x, y), for per-block tints.
float cellRandom(int x, int y, uint32_t seed) { return latticeNoise(static_cast<float>(x), static_cast<float>(y), 4096, seed); }

// Marble of a block: a tint of its own, soft veins and grain; x, y in pixels of an n-pixel
// picture, so that the noise tiles with it.
Colour marbleAt(float x, float y, int n, float tint, uint32_t seed)
{
    const float u = x / n, v = y / n;
    const float warp = fractalNoise(u * 4.0f, v * 4.0f, 4, 4, seed);
    const float vein = std::pow(std::fabs(std::sin((u * 2.0f + v * 3.0f + warp * 2.5f) * pi * 2.0f)), 0.3f);
    const float grain = fractalNoise(u * 32.0f, v * 32.0f, 32, 3, seed + 2u);
    Colour c = mixColour({0.70f, 0.66f, 0.58f, 1}, {0.86f, 0.83f, 0.76f, 1}, 0.3f + 0.5f * tint + 0.2f * vein);
    return mixColour(c, {0.62f, 0.56f, 0.46f, 1}, 0.3f * grain);
}

// Ashlar: courses of blocks in running bond with sunk joints, each block's edges shaded and
// chipped, grime gathered in blotches.
Colour ashlarAt(float x, float y, int n, float blockWidth, float courseHeight, uint32_t seed)
{
    const int course = static_cast<int>(std::floor(y / courseHeight));
    const float shifted = x + (course % 2 ? blockWidth * 0.5f : 0.0f);
    const int block = static_cast<int>(std::floor(shifted / blockWidth));
    const float fx = shifted - block * blockWidth, fy = y - course * courseHeight;
    const float edge = std::fmin(std::fmin(fx, blockWidth - fx), std::fmin(fy, courseHeight - fy));
    const int blocks = static_cast<int>(n / blockWidth);
    Colour c = marbleAt(x, y, n, cellRandom((block % blocks + blocks) % blocks, course, seed), seed + 7u);
    const float chip = fractalNoise(x / 4.0f, y / 4.0f, n / 4, 2, seed + 11u);
    const float joint = smoothStep(1.6f + 2.0f * chip, 0.4f, edge);
    c = mixColour(c, {0.40f, 0.37f, 0.33f, 1}, 0.25f * smoothStep(5.0f, 1.0f, edge));  // the joint's shade
    c = mixColour(c, {0.22f, 0.20f, 0.18f, 1}, joint);
    const float grime = fractalNoise(x / 32.0f, y / 32.0f, n / 32, 4, seed + 13u);
    return mixColour(c, {0.42f, 0.40f, 0.34f, 1}, 0.45f * smoothStep(0.5f, 0.8f, grime));
}

// Dark streaks that rain washed down a face: stronger near its top (fromTop 0) and thinning out.
float streaks(float x, int n, float fromTop, uint32_t seed)
{
    const float s = latticeNoise(x / 4.0f, 0.5f, n / 4, seed) * latticeNoise(x / 16.0f, 0.5f, n / 16, seed + 1u);
    return smoothStep(0.25f, 0.6f, s) * (1.0f - smoothStep(0.0f, 0.7f, fromTop));
}

Image marbleTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) pixelAt(image, x, y) = ashlarAt(x + 0.5f, y + 0.5f, n, 128.0f, 64.0f, 41u);
    return image;
}

// The cella's wall, spanning its height once: a tall course of orthostates at the foot, ashlar
// above, the foot and the top darkened, streaks down from under the ceiling.
Image wallTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float v = 1.0f - (y + 0.5f) / n;  // 0 at the foot
            const bool orthostate = v < 0.2f;
            Colour c = orthostate ? ashlarAt(x + 0.5f, y + 0.5f, n, 128.0f, 256.0f, 47u)
                                  : ashlarAt(x + 0.5f, y + 0.5f, n, 128.0f, 25.6f, 43u);
            if (orthostate) c = mixColour(c, {0.22f, 0.20f, 0.18f, 1}, smoothStep(1.5f, 0.3f, std::fabs(v - 0.2f) * n));
            c = mixColour(c, {0.30f, 0.29f, 0.26f, 1}, 0.5f * streaks(x + 0.5f, n, 1.0f - v, 49u));
            const float occlusion = 0.55f * smoothStep(0.12f, 0.0f, v) + 0.45f * smoothStep(0.9f, 1.0f, v);
            pixelAt(image, x, y) = mixColour(c, {0.16f, 0.15f, 0.14f, 1}, occlusion);
        }
    return image;
}

// Twenty flutes round a shaft: the texture holds four and goes round five times. Each flute is
// a hollow between sharp arrises, lit from one side; v runs up the shaft once, with the shade
// at its foot, the necking grooves under the capital and streaks from above.
Image columnTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float v = 1.0f - (y + 0.5f) / n;
            const float t = std::fmod((x + 0.5f) / 64.0f, 1.0f);
            Colour c = marbleAt(x + 0.5f, y + 0.5f, n, 0.55f, 51u);
            const float hollow = 0.55f + 0.45f * std::cos((t - 0.35f) * 2.0f * pi);
            c = mixColour(c, {0.34f, 0.32f, 0.29f, 1}, 0.55f * (1.0f - hollow));
            c = mixColour(c, {0.92f, 0.90f, 0.85f, 1}, 0.6f * smoothStep(0.04f, 0.0f, std::fmin(t, 1.0f - t)));
            c = mixColour(c, {0.30f, 0.29f, 0.25f, 1}, 0.55f * streaks(x + 0.5f, n, 1.0f - v, 53u));
            for (float groove : {0.955f, 0.975f})
                c = mixColour(c, {0.18f, 0.17f, 0.15f, 1}, smoothStep(2.0f, 0.5f, std::fabs(v - groove) * n));
            const float lichen = fractalNoise(x / 16.0f, y / 16.0f, 16, 3, 55u);
            c = mixColour(c, {0.40f, 0.44f, 0.30f, 1}, 0.5f * smoothStep(0.6f, 0.8f, lichen) * smoothStep(0.3f, 0.0f, v));
            c = mixColour(c, {0.18f, 0.17f, 0.15f, 1}, 0.5f * smoothStep(0.1f, 0.0f, v));
            pixelAt(image, x, y) = c;
        }
    return image;
}

// The Doric frieze: four triglyphs, each with its two grooves and two half grooves, and four
// metopes with a weathered shield in relief; the cornice's shade along the top.
Image friezeTexture()
{
    const int w = 512, h = 128;
    Image image = makeImage(w, h, {0, 0, 0, 1});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float inPair = std::fmod(px, 128.0f);
            Colour c = marbleAt(px, py * 4.0f, w, cellRandom(x / 128, 0, 61u), 63u);
            if (inPair < 48.0f) {
                // Triglyph: darker, painted stone; grooves at 1/6, 3/6, 5/6 of its width.
                c = mixColour(c, {0.30f, 0.32f, 0.38f, 1}, 0.7f);
                const float g = inPair / 48.0f * 6.0f;
                const float toGroove = std::fabs(g - 2.0f * std::floor(g / 2.0f) - 1.0f);  // 0 at a groove
                c = mixColour(c, {0.12f, 0.12f, 0.15f, 1}, smoothStep(0.35f, 0.1f, toGroove) * smoothStep(h * 0.1f, h * 0.2f, py));
                c = mixColour(c, {0.14f, 0.14f, 0.17f, 1}, smoothStep(3.0f, 0.5f, std::fmin(inPair, 48.0f - inPair)));
            } else {
                // Metope with a round shield: its rim lit above left, shaded below right.
                const float dx = inPair - 88.0f, dy = py - 66.0f;
                const float r = std::sqrt(dx * dx + dy * dy);
                const float rim = smoothStep(30.0f, 27.0f, r) - smoothStep(24.0f, 21.0f, r);
                const float side = (dx + dy) / std::fmax(r, 1.0f);
                c = mixColour(c, side > 0.0f ? Colour{0.30f, 0.28f, 0.25f, 1} : Colour{0.92f, 0.90f, 0.85f, 1},
                              0.6f * rim * std::fabs(side));
                c = mixColour(c, {0.55f, 0.50f, 0.44f, 1}, 0.35f * smoothStep(21.0f, 15.0f, r));
            }
            const float grime = fractalNoise(px / 32.0f, py / 32.0f, 16, 3, 65u);
            c = mixColour(c, {0.35f, 0.33f, 0.29f, 1}, 0.35f * smoothStep(0.5f, 0.8f, grime));
            c = mixColour(c, {0.14f, 0.13f, 0.12f, 1}, 0.7f * smoothStep(h * 0.16f, 0.0f, py));  // under the cornice
            c = mixColour(c, {0.92f, 0.90f, 0.85f, 1}, 0.4f * smoothStep(h - 6.0f, h - 2.0f, py));  // the fillet below
            pixelAt(image, x, y) = c;
        }
    return image;
}

// Greek roof tiles: flat pans laid in courses up the slope, rounded cover tiles over their
// joints running down it, moss and lichen on the older ones; the ridge's capping tiles in the
// top tenth.
Image roofTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float v = 1.0f - py / n;
            const int column = static_cast<int>(px / 32.0f), course = static_cast<int>(py / 64.0f);
            Colour c = mixColour({0.50f, 0.27f, 0.18f, 1}, {0.70f, 0.42f, 0.28f, 1}, cellRandom(column, course, 71u));
            c = mixColour(c, {0.40f, 0.22f, 0.15f, 1}, 0.4f * fractalNoise(px / 16.0f, py / 16.0f, 16, 3, 73u));
            // Each course's lower edge overlaps the next and casts a shade below it.
            const float inCourse = std::fmod(py, 64.0f) / 64.0f;
            c = mixColour(c, {0.20f, 0.11f, 0.08f, 1}, 0.75f * smoothStep(0.85f, 1.0f, inCourse));
            // Cover tile over the joint at the middle of each 32-pixel column: a half cylinder.
            const float across = (std::fmod(px, 32.0f) - 16.0f) / 6.0f;
            if (std::fabs(across) < 1.0f) {
                const Colour cover = mixColour({0.56f, 0.30f, 0.20f, 1}, {0.82f, 0.52f, 0.36f, 1}, 0.5f - 0.5f * across);
                c = mixColour(cover, {0.20f, 0.11f, 0.08f, 1}, 0.5f * smoothStep(0.6f, 1.0f, std::fabs(across)));
            } else if (across > 1.0f && across < 2.2f) {
                c = mixColour(c, {0.20f, 0.11f, 0.08f, 1}, 0.5f * smoothStep(2.2f, 1.0f, across));  // its shade
            }
            if (v > 0.9f) c = mixColour({0.60f, 0.34f, 0.22f, 1}, {0.30f, 0.16f, 0.10f, 1}, std::fabs(v - 0.95f) * 12.0f);
            const float moss = fractalNoise(px / 32.0f, py / 32.0f, 8, 4, 75u);
            c = mixColour(c, {0.36f, 0.38f, 0.26f, 1}, 0.6f * smoothStep(0.55f, 0.75f, moss));
            pixelAt(image, x, y) = c;
        }
    return image;
}

// The bronze door in its marble frame: two leaves of three panels each, rows of studs, green
// patina where rain reaches it and the dark gap between the leaves.
Image doorTexture()
{
    const int w = 128, h = 256;
    Image image = makeImage(w, h, {0, 0, 0, 1});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float frame = std::fmin(std::fmin(px, w - px), py);
            Colour c;
            if (frame < 10.0f) {
                c = marbleAt(px * 2.0f, py, 256, 0.6f, 81u);
                c = mixColour(c, {0.28f, 0.26f, 0.23f, 1}, smoothStep(7.0f, 10.0f, frame) * 0.6f);
            } else {
                const float inLeaf = std::fmod(px - 10.0f, 54.0f);
                const float panelY = std::fmod(py - 10.0f, 82.0f);
                const float panelEdge = std::fmin(std::fmin(inLeaf - 6.0f, 48.0f - inLeaf), std::fmin(panelY - 6.0f, 76.0f - panelY));
                c = mixColour({0.22f, 0.17f, 0.10f, 1}, {0.38f, 0.29f, 0.16f, 1},
                              fractalNoise(px / 8.0f, py / 8.0f, 16, 3, 83u));
                if (panelEdge > 0.0f) c = mixColour(c, {0.15f, 0.12f, 0.08f, 1}, 0.5f * smoothStep(4.0f, 0.0f, panelEdge));
                const float sx = std::fmod(inLeaf, 12.0f) - 6.0f, sy = std::fmod(panelY + 3.0f, 82.0f) - 3.0f;
                if (panelEdge < 0.0f && sx * sx + sy * sy < 5.0f) c = {0.62f, 0.50f, 0.30f, 1};
                const float patina = fractalNoise(px / 16.0f, py / 16.0f, 8, 4, 85u) + 0.4f * (py / h);
                c = mixColour(c, {0.30f, 0.46f, 0.40f, 1}, 0.6f * smoothStep(0.65f, 0.95f, patina));
                c = mixColour(c, {0.05f, 0.04f, 0.03f, 1}, smoothStep(1.5f, 0.3f, std::fabs(px - 64.0f)));
            }
            pixelAt(image, x, y) = c;
        }
    return image;
}

// Worn paving of irregular limestone slabs in running courses, grass in the joints, cracks and
// dirt; one picture repeats every 160 units.
Image groundTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const int course = static_cast<int>(py / 64.0f);
            const float length = cellRandom(course, 0, 91u) < 0.5f ? 64.0f : 128.0f;
            const float shifted = std::fmod(px + 32.0f * course, static_cast<float>(n));
            const int slab = static_cast<int>(shifted / length);
            const float fx = std::fmod(shifted, length), fy = std::fmod(py, 64.0f);
            const float edge = std::fmin(std::fmin(fx, length - fx), std::fmin(fy, 64.0f - fy));
            const float tint = cellRandom(slab, course, 93u);
            Colour c = mixColour({0.46f, 0.44f, 0.40f, 1}, {0.66f, 0.63f, 0.56f, 1}, tint);
            c = mixColour(c, {0.38f, 0.35f, 0.30f, 1}, 0.5f * fractalNoise(px / 16.0f, py / 16.0f, 16, 4, 95u));
            const float crack = std::fabs(fractalNoise(px / 32.0f, py / 32.0f, 8, 4, 97u) - 0.5f);
            c = mixColour(c, {0.22f, 0.21f, 0.18f, 1}, 0.7f * smoothStep(0.012f, 0.0f, crack));
            const float wobble = 2.5f * fractalNoise(px / 8.0f, py / 8.0f, 32, 2, 99u);
            const float grass = smoothStep(3.5f + wobble, 0.5f, edge);
            c = mixColour(c, {0.24f, 0.30f, 0.16f, 1}, grass);
            const float dirt = fractalNoise(px / 64.0f, py / 64.0f, 4, 3, 101u);
            c = mixColour(c, {0.36f, 0.33f, 0.26f, 1}, 0.5f * smoothStep(0.5f, 0.75f, dirt));
            pixelAt(image, x, y) = c;
        }
    return image;
}

}  // namespace

bool writeTempleTextures(const std::string& dir)
{
    struct Texture {
        const char* name;
        Image (*paint)();
    };
    const Texture textures[] = {{"marble.tga", marbleTexture}, {"wall.tga", wallTexture},   {"column.tga", columnTexture},
                                {"frieze.tga", friezeTexture}, {"roof.tga", roofTexture},   {"door.tga", doorTexture},
                                {"ground.tga", groundTexture}};
    std::error_code error;
    std::filesystem::create_directories(dir + "/models/templo01", error);
    for (const Texture& t : textures) {
        const std::string path = dir + "/models/templo01/" + t.name;
        if (!writeTga(path, t.paint(), false)) return false;
    }
    return true;
}
