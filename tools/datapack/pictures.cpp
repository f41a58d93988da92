// Paints the demo's pictures. Each is painted for the shape it is drawn at: where the texture
// and the quad on screen differ in aspect, letters are set narrower or wider by the same
// factor, so that they show in their true proportions once stretched.
#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "palette.h"
#include "text_setter.h"

namespace {
struct Fonts {
    TextFace* heading = nullptr;
    TextFace* body = nullptr;
    TextFace* kana = nullptr;
};

// Horizontal squeeze for a picture of width x height shown at drawWidth x drawHeight.
float squeezeFor(int width, int height, float drawWidth, float drawHeight)
{
    return (static_cast<float>(width) / height) / (drawWidth / drawHeight);
}

// Largest size at which text fits maxWidth x maxHeight pixels of ink; tracking is given in
// pixels per 64 pixels of size.
TextStyle fitStyle(TextFace* face, const std::string& text, float squeeze, float tracking, float maxWidth,
                   float maxHeight)
{
    TextStyle style{face, 8.0f, squeeze, tracking * 8.0f / 64.0f};
    for (float size = 8.0f; size < 400.0f; size += 1.0f) {
        TextStyle trial{face, size, squeeze, tracking * size / 64.0f};
        TextLayout l;
        if (!measureText(trial, text, l)) break;
        if (l.inkRight - l.inkLeft > maxWidth || l.inkTop - l.inkBottom > maxHeight) break;
        style = trial;
    }
    return style;
}

struct TextLine {
    const TextStyle* style;
    std::string text;
    float cx, cy;
    Colour colour;
};

// Letters over a soft amber glow, itself over a wider, faint night-blue halo that keeps the
// letters readable where the scenes put them over light stone or fog (halo sets how dense it
// grows near the letters); the clear ground takes the halo's colour, so that filtering at the
// edges never pulls in a foreign fringe.
Image glowingText(int width, int height, const std::vector<TextLine>& lines, int glowRadius, float glowStrength,
                  float halo = 2.5f)
{
    Image letters = makeImage(width, height, {paletteInk.r, paletteInk.g, paletteInk.b, 0.0f});
    for (const TextLine& line : lines) paintTextCentred(letters, *line.style, line.text, line.cx, line.cy, line.colour);
    Image glow = letters;
    blurAlpha(glow, glowRadius, 3);
    Image haloAlpha = letters;
    blurAlpha(haloAlpha, glowRadius * 2, 3);
    Image out = makeImage(width, height, {paletteNight.r, paletteNight.g, paletteNight.b, 0.0f});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // The halo thins out towards the picture's border, so that no edge of the quad shows.
            const float border = static_cast<float>(std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y)));
            const float rim = smoothStep(0.0f, static_cast<float>(glowRadius * 2), border);
            blendOver(out, x, y, paletteNight, clamp01(pixelAt(haloAlpha, x, y).a * halo) * 0.9f * rim);
            blendOver(out, x, y, paletteAmber, clamp01(pixelAt(glow, x, y).a * glowStrength));
            const Colour& l = pixelAt(letters, x, y);
            blendOver(out, x, y, {l.r, l.g, l.b, 1.0f}, l.a);
        }
    return out;
}

bool save(const std::string& dir, const char* name, const Image& image, bool alpha)
{
    const std::string path = dir + "/" + name;
    if (writeTga(path, image, alpha)) return true;
    std::fprintf(stderr, "demotorva-datapack: cannot write %s\n", path.c_str());
    return false;
}

// One word on a picture of width x height drawn at drawWidth x drawHeight: its ink fills
// about fill of the height and never more than widthShare of the width, centred at centre of
// the width.
Image wordPicture(TextFace* face, const std::string& text, int width, int height, float drawWidth, float drawHeight,
                  float fill, float widthShare, float centre = 0.5f, float halo = 2.5f)
{
    const float squeeze = squeezeFor(width, height, drawWidth, drawHeight);
    const TextStyle style = fitStyle(face, text, squeeze, 4.0f, width * widthShare, height * fill);
    const int glow = std::max(2, height / 24);
    return glowingText(width, height, {{&style, text, width * centre, height * 0.5f, paletteInk}}, glow, 0.9f, halo);
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
    const TextStyle title = fitStyle(fonts.heading, "quibe", squeeze, 6.0f, w * 0.7f, h * 0.2f);
    const TextStyle small = fitStyle(fonts.body, "loading", squeeze, 40.0f, w * 0.32f, h * 0.045f);
    const Image text = glowingText(w, h,
                                   {{&title, "quibe", w * 0.5f, h * 0.44f, paletteInk},
                                    {&small, "loading", w * 0.5f, h * 0.62f, paletteTeal}},
                                   8, 0.9f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour& t = pixelAt(text, x, y);
            blendOver(image, x, y, {t.r, t.g, t.b, 1.0f}, t.a);
        }
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

// The closing text, set for a 4 x 6 quad that scrolls up the screen; its first line stands at
// the picture's top, so that letters come into view as soon as the picture's upper edge does.
Image endPicture(const Fonts& fonts)
{
    const int w = 256, h = 512;
    const float squeeze = squeezeFor(w, h, 4.0f, 6.0f);
    const TextStyle title = fitStyle(fonts.heading, "quibe", squeeze, 6.0f, w * 0.7f, h * 0.075f);
    const TextStyle role = fitStyle(fonts.body, "music and 2d", squeeze, 20.0f, w * 0.6f, h * 0.026f);
    const TextStyle name = fitStyle(fonts.heading, "corvane", squeeze, 8.0f, w * 0.6f, h * 0.04f);
    const TextStyle thanks = fitStyle(fonts.body, "thanks for watching", squeeze, 12.0f, w * 0.8f, h * 0.03f);
    return glowingText(w, h,
                       {{&title, "quibe", w * 0.5f, h * 0.05f, paletteInk},
                        {&role, "a demo by torva", w * 0.5f, h * 0.13f, paletteTeal},
                        {&role, "code and 3d", w * 0.5f, h * 0.32f, paletteTeal},
                        {&name, "qzr", w * 0.5f, h * 0.375f, paletteInk},
                        {&role, "music and 2d", w * 0.5f, h * 0.52f, paletteTeal},
                        {&name, "corvane", w * 0.5f, h * 0.575f, paletteInk},
                        {&thanks, "thanks for watching", w * 0.5f, h * 0.9f, paletteInk}},
                       5, 0.8f);
}
}  // namespace

bool writePictures(const std::string& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir + "/maps/text", error);
    std::filesystem::create_directories(dir + "/maps/langs", error);
    Fonts fonts{openTextFace(headingFontPattern, fontFamily), openTextFace(bodyFontPattern, fontFamily),
                openTextFace(kanaFontPattern, kanaFontFamily)};
    if (!fonts.heading || !fonts.body || !fonts.kana) {
        std::fprintf(stderr, "demotorva-datapack: the fonts DejaVu Sans and Noto Sans CJK JP are needed\n");
        closeTextFace(fonts.heading);
        closeTextFace(fonts.body);
        closeTextFace(fonts.kana);
        return false;
    }
    bool ok = save(dir, "maps/loading.tga", loadingScreen(fonts), false);
    ok = ok && save(dir, "maps/blueBox.tga", boxTile(), false);
    ok = ok && save(dir, "maps/quibe.tga", wordPicture(fonts.heading, "quibe", 512, 128, 1.8f, 0.4f, 0.72f, 0.9f), true);
    ok = ok && save(dir, "maps/by_torva.tga", wordPicture(fonts.body, "by torva", 512, 64, 1.8f, 0.3f, 0.6f, 0.9f), true);
    ok = ok && save(dir, "maps/destello.tga", glowPicture(), true);
    ok = ok && save(dir, "maps/suelo3.tga", floorPicture(), false);
    struct Word {
        const char* file;
        const char* text;
        int width, height;
        float drawWidth, drawHeight, fill;
    };
    const Word words[] = {
        {"maps/text/whatisquibe.tga", "what is quibe?", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/text/human.tga", "human", 512, 128, 2.1f, 0.7f, 0.6f},
        {"maps/text/empty.tga", "empty", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/text/hollowmint.tga", "hollow mint", 512, 64, 1.85f, 0.3f, 0.62f},
        {"maps/text/main.tga", "main", 512, 256, 1.8f, 1.2f, 0.45f},
        {"maps/text/space.tga", "space", 512, 64, 3.2f, 0.4f, 0.62f},
        {"maps/langs/vazio.tga", "vazio", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/kara.tga", "kara", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/luck.tga", "luck", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/nullo.tga", "nullo", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/tomorom.tga", "tomorom", 512, 64, 1.8f, 0.4f, 0.6f},
        {"maps/langs/vide.tga", "vide", 512, 64, 1.8f, 0.4f, 0.6f},
    };
    // The temple's words fade in to at most 0.6 over pale, fogged stone: a denser halo keeps
    // them apart from it.
    for (const Word& word : words) {
        const bool temple = std::string(word.file).rfind("maps/text/", 0) == 0;
        ok = ok && save(dir, word.file,
                        wordPicture(fonts.heading, word.text, word.width, word.height, word.drawWidth, word.drawHeight,
                                    word.fill, 0.9f, 0.5f, temple ? 6.0f : 2.5f),
                        true);
    }
    ok = ok && save(dir, "maps/langs/kara_hiragana.tga",
                    wordPicture(fonts.kana, "\xe3\x81\x8b\xe3\x82\x89", 512, 64, 1.8f, 0.4f, 0.66f, 0.9f), true);
    // Captions 6 units wide rest partly outside the view: their letters keep to the middle
    // of the picture. The two of the middle row slide in from the left, starting 6.2 units
    // left of the view: their letters sit near the picture's right end, so that they enter the
    // view within the first 2.8 s of their 10 s windows and come to rest right of the chain
    // that glows in the middle, still inside the view.
    struct Caption {
        const char* file;
        const char* text;
        float centre, widthShare;
    };
    const Caption captions[] = {{"maps/3d.tga", "3d", 0.76f, 0.18f},
                                {"maps/2d.tga", "2d", 0.76f, 0.18f},
                                {"maps/code.tga", "code", 0.5f, 0.66f},
                                {"maps/music.tga", "music", 0.5f, 0.66f}};
    for (const Caption& c : captions)
        ok = ok && save(dir, c.file,
                        wordPicture(fonts.body, c.text, 512, 64, 6.0f, 0.5f, 0.62f, c.widthShare, c.centre), true);
    const char* names[][2] = {{"maps/corvane.tga", "corvane"}, {"maps/qzr.tga", "qzr"}};
    for (const auto& name : names)
        ok = ok && save(dir, name[0], wordPicture(fonts.heading, name[1], 512, 64, 4.0f, 0.4f, 0.66f, 0.8f), true);
    ok = ok && save(dir, "maps/text/end.tga", endPicture(fonts), true);
    closeTextFace(fonts.heading);
    closeTextFace(fonts.body);
    closeTextFace(fonts.kana);
    return ok;
}
