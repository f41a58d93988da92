// The pack's lettering: fonts found through fontconfig, text fitted to boxes, and the
// outline, shadow, glow and halo painted round the letters, in that order from the letters out.
#include "lettering.h"

#include <algorithm>
#include <cstdio>

bool openFonts(Fonts& fonts)
{
    fonts.heading = openTextFace(headingFontPattern, fontFamily);
    fonts.body = openTextFace(bodyFontPattern, fontFamily);
    fonts.serif = openTextFace(serifFontPattern, serifFontFamily);
    fonts.mono = openTextFace(monoFontPattern, monoFontFamily);
    fonts.kana = openTextFace(kanaFontPattern, kanaFontFamily);
    if (fonts.heading && fonts.body && fonts.serif && fonts.mono && fonts.kana) return true;
    std::fprintf(stderr,
                 "demotorva-datapack: the fonts DejaVu Sans, DejaVu Sans Mono, Liberation Serif and Noto Sans CJK "
                 "JP are needed\n");
    closeFonts(fonts);
    return false;
}

void closeFonts(Fonts& fonts)
{
    for (TextFace** face : {&fonts.heading, &fonts.body, &fonts.serif, &fonts.mono, &fonts.kana}) {
        closeTextFace(*face);
        *face = nullptr;
    }
}

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

Image letteredText(int width, int height, const std::vector<TextLine>& lines, const Lettering& style)
{
    Image letters = makeImage(width, height, {paletteInk.r, paletteInk.g, paletteInk.b, 0.0f});
    for (const TextLine& line : lines) paintTextCentred(letters, *line.style, line.text, line.cx, line.cy, line.colour);
    Image glow = letters;
    blurAlpha(glow, style.glowRadius, 3);
    Image haloAlpha = letters;
    blurAlpha(haloAlpha, style.glowRadius * 2, 3);
    const int o = std::max(1, style.outline);
    const Image outline = dilatedAlpha(letters, o, 4.5f);
    const Image shadow = dilatedAlpha(letters, o + 1, 1.5f);
    Image out = makeImage(width, height, {paletteNight.r, paletteNight.g, paletteNight.b, 0.0f});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // The halo thins out towards the picture's border, so that no edge of the quad shows.
            const float border = static_cast<float>(std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y)));
            const float rim = smoothStep(0.0f, static_cast<float>(style.glowRadius * 2), border);
            blendOver(out, x, y, paletteNight, clamp01(pixelAt(haloAlpha, x, y).a * style.halo) * 0.9f * rim);
            blendOver(out, x, y, style.glow, clamp01(pixelAt(glow, x, y).a * style.glowStrength));
            const int sx = std::max(0, x - o), sy = std::max(0, y - o);
            blendOver(out, x, y, {0.0f, 0.0f, 0.02f, 1.0f}, 0.8f * pixelAt(shadow, sx, sy).a * rim);
            blendOver(out, x, y, {0.02f, 0.02f, 0.05f, 1.0f}, 0.95f * pixelAt(outline, x, y).a);
            const Colour& l = pixelAt(letters, x, y);
            blendOver(out, x, y, {l.r, l.g, l.b, 1.0f}, l.a);
        }
    return out;
}

bool savePicture(const std::string& dir, const char* name, const Image& image, bool alpha)
{
    const std::string path = dir + "/" + name;
    return writeTga(path, image, alpha);
}
