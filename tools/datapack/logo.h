// The demo's logo, "quibe" in chrome: heavy letters with a bevel lit from the upper left, a
// sky-to-ground chrome gradient split at a bright horizon line, a dark outline and a drop
// shadow, and a glint on the first letter. One painter serves every place the logo shows (the
// loading picture, the intro's logo picture, the credits' bar and the closing text), so they
// all show the same mark.
//
//   Image logo = logoPicture(face, 512, 128, squeezeFor(...), 0.8f);   // clear ground
//   composeOver(background, logo, 0, 0);
#pragma once

#include <string>

#include "image.h"
#include "text_setter.h"

constexpr const char* logoText = "quibe";

// The logo on a clear ground of width x height, its ink filling about fill of the height (and
// at most 0.92 of the width); squeeze as in TextStyle, for pictures drawn wider than they are.
Image logoPicture(TextFace* face, int width, int height, float squeeze, float fill);
// Straight-alpha "over" of the whole of top onto base with top's corner at (x, y).
void composeOver(Image& base, const Image& top, int x, int y);
// The texture of the credits' bar, with the logo on a saturated plate; false without the face.
bool writeLogoBarTexture(const std::string& path);
