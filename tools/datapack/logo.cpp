// The demo's logo and the credits' bar that carries it. The letters' coverage is turned into a
// height field by blurring it inside the letters, and that height is lit like a bevelled metal
// rim; the face of each letter reflects a chrome sky (light blue above, white at the horizon,
// bronze ground below), the look of the era's rendered logos. The outline and shadow are
// dilations of the same coverage, so the logo reads over any ground.
#include "logo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "palette.h"

namespace {
Colour chromeAt(float v)  // v: 0 at the letters' top, 1 at their foot
{
    const Colour skyTop{0.30f, 0.52f, 0.92f, 1}, skyLow{0.86f, 0.94f, 1.0f, 1};
    const Colour groundTop{0.30f, 0.16f, 0.10f, 1}, groundLow{1.0f, 0.74f, 0.36f, 1};
    if (v < 0.52f) return mixColour(skyTop, skyLow, smoothStep(0.0f, 0.52f, v));
    const Colour c = mixColour(groundTop, groundLow, smoothStep(0.54f, 1.0f, v));
    return mixColour({1, 1, 1, 1}, c, smoothStep(0.52f, 0.58f, v));
}
}  // namespace

void composeOver(Image& base, const Image& top, int x, int y)
{
    for (int ty = 0; ty < top.height; ++ty)
        for (int tx = 0; tx < top.width; ++tx) {
            const Colour& c = pixelAt(top, tx, ty);
            blendOver(base, x + tx, y + ty, {c.r, c.g, c.b, 1.0f}, c.a);
        }
}

Image logoPicture(TextFace* face, int width, int height, float squeeze, float fill)
{
    Image out = makeImage(width, height, {paletteNight.r, paletteNight.g, paletteNight.b, 0.0f});
    if (!face) return out;
    // Largest size whose ink fits, slightly tight-set as heavy logos are.
    TextStyle style{face, 8.0f, squeeze, 0.0f};
    TextLayout fit;
    for (float size = 8.0f; size < 600.0f; size += 1.0f) {
        const TextStyle trial{face, size, squeeze, -size * 0.02f};
        TextLayout l;
        if (!measureText(trial, logoText, l)) break;
        if (l.inkRight - l.inkLeft > width * 0.92f - height * 0.1f || l.inkTop - l.inkBottom > height * fill) break;
        style = trial;
        fit = l;
    }
    Image mask = makeImage(width, height, {1, 1, 1, 0});
    paintTextCentred(mask, style, logoText, width * 0.5f, height * 0.5f, {1, 1, 1, 1});
    const float top = height * 0.5f - (fit.inkTop - fit.inkBottom) * 0.5f;
    const float inkHeight = std::max(1.0f, fit.inkTop - fit.inkBottom);
    const int rim = std::max(1, static_cast<int>(inkHeight / 14.0f));
    Image heightField = mask;
    blurAlpha(heightField, rim, 2);
    const Image outline = dilatedAlpha(mask, std::max(1, rim), 3.0f);
    const Image shadow = dilatedAlpha(mask, std::max(2, rim * 2), 1.4f);
    const int drop = std::max(1, rim);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Soft shadow below and right, then the dark outline.
            const int sx = std::clamp(x - drop, 0, width - 1), sy = std::clamp(y - drop, 0, height - 1);
            blendOver(out, x, y, {0.0f, 0.0f, 0.02f, 1}, 0.75f * pixelAt(shadow, sx, sy).a);
            blendOver(out, x, y, {0.02f, 0.02f, 0.06f, 1}, pixelAt(outline, x, y).a);
            const float a = pixelAt(mask, x, y).a;
            if (a <= 0.0f) continue;
            // The bevel: the height field's slope against a light from the upper left.
            const auto h = [&](int px, int py) {
                return pixelAt(heightField, std::clamp(px, 0, width - 1), std::clamp(py, 0, height - 1)).a;
            };
            const float gx = h(x + 1, y) - h(x - 1, y), gy = h(x, y + 1) - h(x, y - 1);
            const float lit = (-gx - gy) * rim * 1.6f;  // > 0 on the rims facing the light
            const float v = clamp01((y - top) / inkHeight);
            Colour c = chromeAt(v);
            c = mixColour(c, {1, 1, 1, 1}, clamp01(lit));
            c = mixColour(c, {0.06f, 0.05f, 0.12f, 1}, clamp01(-lit * 0.9f));
            blendOver(out, x, y, c, a);
        }
    // A glint: a small four-pointed star on the upper left of the first letter.
    const float gx0 = width * 0.5f - (fit.inkRight - fit.inkLeft) * 0.5f + inkHeight * 0.22f, gy0 = top + inkHeight * 0.3f;
    const float reach = inkHeight * 0.4f;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float dx = std::fabs(x + 0.5f - gx0) / reach, dy = std::fabs(y + 0.5f - gy0) / reach;
            if (dx > 1.0f || dy > 1.0f) continue;
            const float ray = std::fmax(std::exp(-dy * dy * 900.0f) * (1.0f - dx), std::exp(-dx * dx * 900.0f) * (1.0f - dy));
            const float core = std::exp(-(dx * dx + dy * dy) * 60.0f);
            blendOver(out, x, y, {1, 1, 1, 1}, clamp01(ray * 0.9f + core));
        }
    return out;
}

// The bar's plate: a magenta-to-violet enamel with a bright rim and the logo on it. The chain
// is drawn additively, so the plate's black surround adds nothing and only the plate glows;
// the enamel stays below 0.65, so that where a few links overlap it saturates rather than
// turning white at once.
bool writeLogoBarTexture(const std::string& path)
{
    const int w = 512, h = 128;
    TextFace* face = openTextFace(headingFontPattern, fontFamily);
    if (!face) {
        std::fprintf(stderr, "demotorva-datapack: the font DejaVu Sans is needed\n");
        return false;
    }
    Image plate = makeImage(w, h, {0, 0, 0, 1});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            const float edge = std::fmin(std::fmin(x + 0.5f, w - x - 0.5f), std::fmin(y + 0.5f, h - y - 0.5f));
            Colour c = mixColour({0.62f, 0.05f, 0.40f, 1}, {0.18f, 0.08f, 0.62f, 1}, u);
            c = mixColour(c, {0.04f, 0.01f, 0.10f, 1}, 0.5f * smoothStep(0.2f, 0.9f, v));
            c = mixColour(c, {1.0f, 0.85f, 0.95f, 1}, smoothStep(5.0f, 2.0f, edge));
            c = mixColour(c, {0, 0, 0, 1}, smoothStep(1.5f, 0.0f, edge));
            pixelAt(plate, x, y) = c;
        }
    composeOver(plate, logoPicture(face, w, h, 1.0f, 0.62f), 0, 0);
    closeTextFace(face);
    return writeTga(path, plate, false);
}
