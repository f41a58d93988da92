// Lettering shared by the pack's pictures: the type faces the pictures are set in, fitting a
// line of text into a box, and painting lines of text with the outline, shadow, glow and halo
// that keep them readable over whatever the scenes draw behind them.
//
//   Fonts fonts;
//   if (!openFonts(fonts)) ...;                 // says which fonts are missing
//   const TextStyle s = fitStyle(fonts.names, "qzr", squeeze, 8.0f, w * 0.6f, h * 0.5f);
//   Image p = letteredText(w, h, {{&s, "qzr", w * 0.5f, h * 0.5f, paletteInk}}, Lettering{});
//   savePicture(dir, "maps/qzr.tga", p, true);
//   closeFonts(fonts);
#pragma once

#include <string>
#include <vector>

#include "image.h"
#include "palette.h"
#include "text_setter.h"

struct Fonts {
    TextFace* heading = nullptr;  // heavy sans: names, the logo, words shown large
    TextFace* body = nullptr;     // book sans: small lines
    TextFace* serif = nullptr;    // italic serif: roles, the temple's words
    TextFace* mono = nullptr;     // bold monospace: the tunnel's words
    TextFace* kana = nullptr;
};
// False, with a message on standard error naming the fonts needed, when one is missing.
bool openFonts(Fonts& fonts);
void closeFonts(Fonts& fonts);

// Horizontal squeeze for a picture of width x height shown at drawWidth x drawHeight.
float squeezeFor(int width, int height, float drawWidth, float drawHeight);
// Largest size at which text fits maxWidth x maxHeight pixels of ink; tracking is given in
// pixels per 64 pixels of size.
TextStyle fitStyle(TextFace* face, const std::string& text, float squeeze, float tracking, float maxWidth,
                   float maxHeight);

struct TextLine {
    const TextStyle* style;
    std::string text;
    float cx, cy;  // where the ink's middle lies
    Colour colour;
};

// How a picture's letters stand off their ground: a dark outline hugging them and a soft drop
// shadow below and right (what keeps them readable over light stone, fog or a glowing chain),
// a coloured glow outside those, and a wider, faint night-blue halo (halo sets how dense it
// grows near the letters).
struct Lettering {
    int glowRadius = 4;
    float glowStrength = 0.9f;
    Colour glow = paletteAmber;
    float halo = 2.5f;
    int outline = 2;  // pixels; the shadow falls as far again
};
// The lines on a clear ground that takes the halo's colour, so that filtering at the edges
// never pulls in a foreign fringe.
Image letteredText(int width, int height, const std::vector<TextLine>& lines, const Lettering& style);

// Writes dir/name; false with a message on standard error when it cannot.
bool savePicture(const std::string& dir, const char* name, const Image& image, bool alpha);
