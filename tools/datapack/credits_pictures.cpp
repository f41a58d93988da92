// The credits' captions are laid out from where the scene brings them to rest: under the
// scene's 45-degree projection at their depth of 4.99 the view spans x from -2.76 to 2.76, and
// each caption's picture rests at its own x (role lines at -3.5, -2.5 and -3.0, names still
// gliding to -2.0 as their windows close). Every line's letters start at one left edge of the
// view, x = -1.6, so that each page reads as one credit: the roles above in the serif, the
// name below in the heavy sans. A rule runs from each role to its picture's right end, so
// that a caption sliding in from the left shows from its first seconds although its words
// come into view only near their stop.
#include "credits_pictures.h"

#include <algorithm>
#include <cmath>

#include "logo.h"

namespace {
constexpr float creditsLeft = -1.6f;  // eye x where every caption's letters begin

// Picture x (0..width) of the eye x creditsLeft for a caption drawn drawWidth wide from restX.
float leftEdgeAt(int width, float drawWidth, float restX) { return (creditsLeft - restX) / drawWidth * width; }

// A line of text whose ink starts at x, its middle at cy.
TextLine lineFrom(const TextStyle& style, const std::string& text, float x, float cy, Colour c)
{
    TextLayout l;
    measureText(style, text, l);
    return {&style, text, x + (l.inkRight - l.inkLeft) * 0.5f, cy, c};
}

// A line of text centred on cx with its baseline at baseline, so that lines of one style keep
// an even spacing whatever their ascenders and descenders.
TextLine lineOnBaseline(const TextStyle& style, const std::string& text, float cx, float baseline, Colour c)
{
    TextLayout l;
    measureText(style, text, l);
    return {&style, text, cx, baseline - (l.inkTop + l.inkBottom) * 0.5f, c};
}

Image rolePicture(const Fonts& fonts, const char* role, float restX)
{
    const int w = 512, h = 64;
    const float squeeze = squeezeFor(w, h, 6.0f, 0.5f);
    const TextStyle style = fitStyle(fonts.serif, "music and 2d", squeeze, 6.0f, w * 0.5f, h * 0.56f);
    const float x = leftEdgeAt(w, 6.0f, restX);
    Image image = letteredText(w, h, {lineFrom(style, role, x, h * 0.5f, paletteTeal)},
                               Lettering{3, 0.7f, paletteTeal, 2.5f, 2});
    TextLayout l;
    measureText(style, role, l);
    const float start = x + (l.inkRight - l.inkLeft) + h * 0.25f;
    for (int px = static_cast<int>(start); px < w; ++px) {
        const float along = (px - start) / (w - start);
        const float a = smoothStep(0.0f, 0.05f, along) * (1.0f - 0.5f * along) * smoothStep(w - 1.0f, w - 12.0f, px);
        for (int row = -3; row <= 3; ++row) {
            const int py = h * 62 / 100 + row;
            blendOver(image, px, py, {0.02f, 0.02f, 0.05f, 1}, 0.8f * a);
            if (std::abs(row) <= 1) blendOver(image, px, py, paletteTeal, row == 0 ? a : 0.7f * a);
        }
    }
    return image;
}

Image namePicture(const Fonts& fonts, const char* name, float restX)
{
    const int w = 512, h = 64;
    const float squeeze = squeezeFor(w, h, 4.0f, 0.4f);
    const TextStyle style = fitStyle(fonts.heading, "corvane", squeeze, 10.0f, w * 0.6f, h * 0.7f);
    return letteredText(w, h, {lineFrom(style, name, leftEdgeAt(w, 4.0f, restX), h * 0.5f, paletteInk)},
                        Lettering{3, 0.8f, paletteAmber, 2.5f, 2});
}

// The closing text, set for a 4 x 6 quad that scrolls up the screen; the logo stands at the
// picture's top, so that it comes into view as soon as the picture's upper edge does. Below
// the credits, the greetings. The view shows only the middle 3.46 units of the picture's 4,
// so every line keeps within the middle 70 % of its width.
Image endPicture(const Fonts& fonts)
{
    const int w = 512, h = 512;
    const float squeeze = squeezeFor(w, h, 4.0f, 6.0f);
    Image image = makeImage(w, h, {paletteNight.r, paletteNight.g, paletteNight.b, 0.0f});
    composeOver(image, logoPicture(fonts.heading, w, 64, squeeze, 0.8f), 0, 0);
    const TextStyle small = fitStyle(fonts.serif, "a demo by torva", squeeze, 8.0f, w * 0.5f, h * 0.028f);
    const TextStyle role = fitStyle(fonts.serif, "music and 2d", squeeze, 8.0f, w * 0.5f, h * 0.026f);
    const TextStyle name = fitStyle(fonts.heading, "corvane", squeeze, 10.0f, w * 0.5f, h * 0.036f);
    const TextStyle greet = fitStyle(fonts.body, "everyone who still codes for fun", squeeze, 6.0f, w * 0.7f, h * 0.024f);
    const TextStyle thanks = fitStyle(fonts.heading, "thanks for watching", squeeze, 8.0f, w * 0.7f, h * 0.034f);
    std::vector<TextLine> lines = {
        {&small, "a demo by torva", w * 0.5f, h * 0.15f, paletteTeal},
        {&role, "code and 3d", w * 0.5f, h * 0.25f, paletteTeal},
        {&name, "qzr", w * 0.5f, h * 0.295f, paletteInk},
        {&role, "music and 2d", w * 0.5f, h * 0.375f, paletteTeal},
        {&name, "corvane", w * 0.5f, h * 0.42f, paletteInk},
        {&role, "greetings to", w * 0.5f, h * 0.52f, paletteAmber},
    };
    const char* greetings[] = {"all sceners at the party", "the tracker musicians", "the pixel artists",
                               "everyone who still codes for fun", "and you"};
    float baseline = 0.572f;
    for (const char* g : greetings) {
        lines.push_back(lineOnBaseline(greet, g, w * 0.5f, h * baseline, paletteInk));
        baseline += 0.04f;
    }
    lines.push_back({&thanks, "thanks for watching", w * 0.5f, h * 0.9f, paletteInk});
    composeOver(image, letteredText(w, h, lines, Lettering{3, 0.6f, paletteAmber, 2.5f, 2}), 0, 0);
    return image;
}
}  // namespace

Image bylinePicture(const Fonts& fonts, const char* role, const char* name, int width, int height, float drawWidth,
                    float drawHeight)
{
    const float squeeze = squeezeFor(width, height, drawWidth, drawHeight);
    const TextStyle roleStyle = fitStyle(fonts.serif, role, squeeze, 6.0f, width * 0.3f, height * 0.5f);
    const TextStyle nameStyle = fitStyle(fonts.heading, name, squeeze, 8.0f, width * 0.6f, height * 0.62f);
    TextLayout r, n;
    measureText(roleStyle, role, r);
    measureText(nameStyle, name, n);
    const float gap = height * 0.3f, total = (r.inkRight - r.inkLeft) + gap + (n.inkRight - n.inkLeft);
    const float x = (width - total) * 0.5f;
    return letteredText(width, height,
                        {lineFrom(roleStyle, role, x, height * 0.5f, paletteTeal),
                         lineFrom(nameStyle, name, x + (r.inkRight - r.inkLeft) + gap, height * 0.5f, paletteInk)},
                        Lettering{std::max(2, height / 24), 0.8f, paletteAmber, 2.5f, 2});
}

bool writeCreditsPictures(const std::string& dir, const Fonts& fonts)
{
    // Rest positions of the captions (names: where they are half a second before their
    // windows close).
    bool ok = savePicture(dir, "maps/code.tga", rolePicture(fonts, "code", -3.5f), true);
    ok = ok && savePicture(dir, "maps/3d.tga", rolePicture(fonts, "and 3d", -2.5f), true);
    ok = ok && savePicture(dir, "maps/qzr.tga", namePicture(fonts, "qzr", -1.75f), true);
    ok = ok && savePicture(dir, "maps/music.tga", rolePicture(fonts, "music", -3.5f), true);
    ok = ok && savePicture(dir, "maps/2d.tga", rolePicture(fonts, "and 2d", -3.0f), true);
    ok = ok && savePicture(dir, "maps/corvane.tga", namePicture(fonts, "corvane", -1.75f), true);
    return ok && savePicture(dir, "maps/text/end.tga", endPicture(fonts), true);
}
