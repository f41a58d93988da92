// The one palette and typographic style of the whole demo: night blues for grounds, a cream
// ink for letters, an amber glow behind them and a cool teal for light; lower-case words set
// in DejaVu Sans (bold for names and the words shown large, book for the small lines), roles
// and the temple's words in Liberation Serif bold italic, the tunnel's words in DejaVu Sans
// Mono bold, kana in Noto Sans CJK.
#pragma once

#include "image.h"

constexpr Colour paletteNight{0.025f, 0.03f, 0.085f, 1.0f};
constexpr Colour paletteDeep{0.07f, 0.11f, 0.30f, 1.0f};
constexpr Colour paletteBlue{0.18f, 0.32f, 0.70f, 1.0f};
constexpr Colour paletteInk{1.0f, 0.96f, 0.88f, 1.0f};
constexpr Colour paletteAmber{1.0f, 0.62f, 0.24f, 1.0f};
constexpr Colour paletteTeal{0.36f, 0.84f, 0.90f, 1.0f};
constexpr Colour paletteStone{0.86f, 0.82f, 0.74f, 1.0f};

constexpr const char* headingFontPattern = "DejaVu Sans:style=Bold";
constexpr const char* bodyFontPattern = "DejaVu Sans:style=Book";
constexpr const char* fontFamily = "DejaVu Sans";
constexpr const char* serifFontPattern = "Liberation Serif:style=Bold Italic";
constexpr const char* serifFontFamily = "Liberation Serif";
constexpr const char* monoFontPattern = "DejaVu Sans Mono:style=Bold";
constexpr const char* monoFontFamily = "DejaVu Sans Mono";
constexpr const char* kanaFontPattern = "Noto Sans CJK JP:style=Bold";
constexpr const char* kanaFontFamily = "Noto Sans CJK JP";
