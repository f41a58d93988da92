// Sets lines of text into pictures with installed outline fonts: a face is found through
// fontconfig by family and style, glyphs are rendered anti-aliased by FreeType and painted as
// coverage, so letters come out with soft alpha edges.
#pragma once

#include <string>

#include "image.h"

struct TextFace;  // one opened font face

// Opens the face fontconfig matches for pattern (such as "Liberation Sans:style=Bold"), only
// when the match belongs to family; null when it is not installed.
TextFace* openTextFace(const char* pattern, const char* family);
void closeTextFace(TextFace* face);

struct TextLayout {
    float advance = 0.0f;  // pen travel in pixels
    float inkLeft = 0.0f, inkRight = 0.0f;  // ink extent from the pen origin
    float inkTop = 0.0f, inkBottom = 0.0f;  // above the baseline positive, below negative
};

// squeeze scales glyphs horizontally, so that a picture stretched on screen by 1 / squeeze
// shows letters in their true proportions; tracking adds pixels after every glyph.
struct TextStyle {
    TextFace* face = nullptr;
    float pixelSize = 32.0f;
    float squeeze = 1.0f;
    float tracking = 0.0f;
};

bool measureText(const TextStyle& style, const std::string& utf8, TextLayout& layout);
// Paints text with its pen starting at (x, baseline), in colour c (its alpha scales coverage).
bool paintText(Image& image, const TextStyle& style, const std::string& utf8, float x, float baseline, Colour c);
// Paints text with its ink centred on (cx, cy).
bool paintTextCentred(Image& image, const TextStyle& style, const std::string& utf8, float cx, float cy, Colour c);
