// Paints the demo's pictures. Each is painted for the shape it is drawn at: where the texture
// and the quad on screen differ in aspect, letters are set narrower or wider by the same
// factor, so that they show in their true proportions once stretched. Every word carries a
// dark outline and shadow, so that it reads over the light stone and fog of the temple, the
// tunnel's rings and the credits' chain alike.
#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "credits_pictures.h"
#include "lettering.h"
#include "logo.h"

namespace {
// One word on a picture of width x height drawn at drawWidth x drawHeight: its ink fills
// about fill of the height and never more than widthShare of the width, centred.
Image wordPicture(TextFace* face, const std::string& text, int width, int height, float drawWidth, float drawHeight,
                  float fill, float widthShare, Lettering lettering)
{
    const float squeeze = squeezeFor(width, height, drawWidth, drawHeight);
    const TextStyle style = fitStyle(face, text, squeeze, 4.0f, width * widthShare, height * fill);
    lettering.glowRadius = std::max(2, height / 24);
    lettering.outline = std::max(lettering.outline, height / 28);
    return letteredText(width, height, {{&style, text, width * 0.5f, height * 0.5f, paletteInk}}, lettering);
}

Image loadingScreen(const Fonts& fonts)
{
    const int w = 512, h = 512;
    const float squeeze = squeezeFor(w, h, 4.0f, 3.0f);
    Image image = makeImage(w, h, paletteNight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = (x - w * 0.5f) / (w * 0.5f) / squeeze, dy = (y - h * 0.46f) / (h * 0.5f);
            const float r = std::sqrt(dx * dx + dy * dy);
            const float t = static_cast<float>(y) / h;
            Colour c = mixColour(paletteNight, paletteDeep, 0.55f * smoothStep(1.6f, 0.0f, r) + 0.2f * t);
            c = mixColour(c, paletteAmber, 0.22f * std::exp(-r * r * 6.0f));
            pixelAt(image, x, y) = c;
        }
    composeOver(image, logoPicture(fonts.heading, w, h / 2, squeeze, 0.4f), 0, h * 44 / 100 - h / 4);
    const TextStyle small = fitStyle(fonts.body, "loading", squeeze, 40.0f, w * 0.32f, h * 0.045f);
    composeOver(image, letteredText(w, h, {{&small, "loading", w * 0.5f, h * 0.62f, paletteTeal}}, Lettering{}), 0, 0);
    // A thin rule between the name and the line below it, fading at its ends.
    for (int x = w * 3 / 10; x < w * 7 / 10; ++x) {
        const float fromMiddle = std::fabs(static_cast<float>(x) / w - 0.5f);
        blendOver(image, x, h * 55 / 100, paletteAmber, 0.8f * smoothStep(0.2f, 0.12f, fromMiddle));
    }
    return image;
}

// A wall panel of the box room: a dark blue field with faint noise, framed by a light seam
// that meets the next tile's seam exactly, so the room shows as one grid.
Image boxTile()
{
    const int n = 128;
    Image image = makeImage(n, n, paletteDeep);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float noise = fractalNoise(x / 16.0f, y / 16.0f, 8, 3, 11u);
            const float ex = std::fmin(static_cast<float>(x) + 0.5f, n - x - 0.5f);
            const float ey = std::fmin(static_cast<float>(y) + 0.5f, n - y - 0.5f);
            const float edge = std::fmin(ex, ey);
            Colour c = mixColour(paletteNight, paletteDeep, 0.55f + 0.45f * noise);
            // Inner bevel: lighter towards the top and left, darker towards the bottom and right.
            const float bevel = smoothStep(10.0f, 4.0f, edge);
            const bool lit = ex <= ey ? x < n / 2 : y < n / 2;
            c = mixColour(c, lit ? paletteBlue : paletteNight, bevel * (lit ? 0.6f : 0.36f));
            c = mixColour(c, paletteTeal, smoothStep(2.0f, 0.0f, edge) * 0.85f);
            const float dx = (x - n * 0.5f) / n, dy = (y - n * 0.5f) / n;
            c = mixColour(c, paletteBlue, 0.25f * std::exp(-(dx * dx + dy * dy) * 18.0f));
            pixelAt(image, x, y) = c;
        }
    return image;
}

// The glow is drawn additively: clear at its rim, warm white at its heart.
Image glowPicture()
{
    const int n = 128;
    Image image = makeImage(n, n, {1.0f, 0.93f, 0.8f, 0.0f});
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float dx = (x + 0.5f - n * 0.5f) / (n * 0.5f), dy = (y + 0.5f - n * 0.5f) / (n * 0.5f);
            const float r = std::sqrt(dx * dx + dy * dy);
            const float falloff = smoothStep(1.0f, 0.0f, r);
            const float a = 0.75f * falloff * falloff * falloff + 0.25f * std::exp(-r * r * 40.0f);
            Colour& c = pixelAt(image, x, y);
            c = mixColour({paletteAmber.r, paletteAmber.g, paletteAmber.b, 0.0f}, {1.0f, 0.97f, 0.9f, 0.0f},
                          std::exp(-r * r * 8.0f));
            c.a = r >= 1.0f ? 0.0f : clamp01(a);
        }
    return image;
}

Image floorPicture()
{
    const int n = 128;
    Image image = makeImage(n, n, paletteStone);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float noise = fractalNoise(x / 8.0f, y / 8.0f, 16, 4, 29u);
            const int cx = x % 64, cy = y % 64;
            const float edge = std::fmin(std::fmin(cx + 0.5f, 63.5f - cx), std::fmin(cy + 0.5f, 63.5f - cy));
            Colour c = mixColour(mixColour(paletteStone, paletteDeep, 0.5f), paletteStone, 0.5f + 0.5f * noise);
            c = mixColour(c, paletteNight, smoothStep(2.5f, 0.5f, edge) * 0.8f);
            pixelAt(image, x, y) = c;
        }
    return image;
}

}  // namespace

bool writePictures(const std::string& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir + "/maps/text", error);
    std::filesystem::create_directories(dir + "/maps/langs", error);
    Fonts fonts;
    if (!openFonts(fonts)) return false;
    bool ok = savePicture(dir, "maps/loading.tga", loadingScreen(fonts), false);
    ok = ok && savePicture(dir, "maps/blueBox.tga", boxTile(), false);
    ok = ok && savePicture(dir, "maps/quibe.tga", logoPicture(fonts.heading, 512, 128, squeezeFor(512, 128, 1.8f, 0.4f), 0.72f),
                           true);
    ok = ok && savePicture(dir, "maps/by_torva.tga", bylinePicture(fonts, "by", "torva", 512, 64, 1.8f, 0.3f), true);
    ok = ok && savePicture(dir, "maps/destello.tga", glowPicture(), true);
    ok = ok && savePicture(dir, "maps/suelo3.tga", floorPicture(), false);
    struct Word {
        const char* file;
        const char* text;
        int width, height;
        float drawWidth, drawHeight, fill;
    };
    // The temple's words fade in to at most 0.6 over pale, fogged stone: a denser halo, the
    // outline and the shadow keep them apart from it. They are set in the serif, in the
    // amber of the scene's light.
    const Word templeWords[] = {
        {"maps/text/whatisquibe.tga", "what is quibe?", 512, 64, 1.8f, 0.4f, 0.66f},
        {"maps/text/human.tga", "human", 512, 128, 2.1f, 0.7f, 0.6f},
        {"maps/text/empty.tga", "empty", 512, 64, 1.8f, 0.4f, 0.66f},
        {"maps/text/hollowmint.tga", "hollow mint", 512, 64, 1.85f, 0.3f, 0.68f},
        {"maps/text/main.tga", "main", 512, 256, 1.8f, 1.2f, 0.45f},
        {"maps/text/space.tga", "space", 512, 64, 3.2f, 0.4f, 0.66f},
    };
    for (const Word& w : templeWords)
        ok = ok && savePicture(dir, w.file,
                               wordPicture(fonts.serif, w.text, w.width, w.height, w.drawWidth, w.drawHeight, w.fill,
                                           0.9f, Lettering{4, 0.6f, paletteAmber, 3.5f, 4}),
                               true);
    // The tunnel's words for nothing, in the monospace with the rings' teal glow.
    const Word tunnelWords[] = {
        {"maps/langs/vazio.tga", "vazio", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/kara.tga", "kara", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/luck.tga", "luck", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/nullo.tga", "nullo", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/tomorom.tga", "tomorom", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/vide.tga", "vide", 512, 64, 1.8f, 0.4f, 0.6f},
    };
    for (const Word& w : tunnelWords)
        ok = ok && savePicture(dir, w.file,
                               wordPicture(fonts.mono, w.text, w.width, w.height, w.drawWidth, w.drawHeight, w.fill,
                                           0.9f, Lettering{4, 0.9f, paletteTeal, 2.5f, 2}),
                               true);
    ok = ok && savePicture(dir, "maps/langs/kara_hiragana.tga",
                           wordPicture(fonts.kana, "\xe3\x81\x8b\xe3\x82\x89", 512, 64, 1.8f, 0.4f, 0.66f, 0.9f,
                                       Lettering{4, 0.9f, paletteTeal, 2.5f, 2}),
                           true);
    ok = ok && writeCreditsPictures(dir, fonts);
    closeFonts(fonts);
    return ok;
}
