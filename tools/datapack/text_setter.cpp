// FreeType and fontconfig behind the generator's text setting. Glyphs are rendered unhinted
// with a fractional pen position, so spacing follows the font's own metrics at every size.
#include "text_setter.h"

#include <cmath>
#include <cstring>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

struct TextFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

TextFace* openTextFace(const char* pattern, const char* family)
{
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!wanted) return nullptr;
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, wanted, &result);
    FcPatternDestroy(wanted);
    if (!match) return nullptr;
    FcChar8* file = nullptr;
    FcChar8* matchedFamily = nullptr;
    int index = 0;
    TextFace* text = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
        std::strcmp(reinterpret_cast<const char*>(matchedFamily), family) == 0) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        text = new TextFace;
        if (FT_Init_FreeType(&text->library) != 0 ||
            FT_New_Face(text->library, reinterpret_cast<const char*>(file), index, &text->face) != 0) {
            if (text->library) FT_Done_FreeType(text->library);
            delete text;
            text = nullptr;
        }
    }
    FcPatternDestroy(match);
    return text;
}

void closeTextFace(TextFace* face)
{
    if (!face) return;
    FT_Done_Face(face->face);
    FT_Done_FreeType(face->library);
    delete face;
}

namespace {
std::vector<uint32_t> decodeUtf8(const std::string& s)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 3;
        uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1f) : extra == 2 ? (c & 0x0f) : (c & 0x07);
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3f);
        out.push_back(cp);
    }
    return out;
}

// Walks the glyphs of text; for each rendered glyph calls visit(bitmap, left, top) with the
// bitmap's top-left corner in pixels relative to the pen start and baseline.
template <typename Visit>
bool walkGlyphs(const TextStyle& style, const std::string& utf8, float& advance, Visit visit)
{
    if (!style.face) return false;
    FT_Face face = style.face->face;
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(style.pixelSize * 64.0f)), 72, 72) != 0)
        return false;
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(style.squeeze * 65536.0f));
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = 0x10000;
    float pen = 0.0f;
    for (uint32_t cp : decodeUtf8(utf8)) {
        const float whole = std::floor(pen);
        FT_Vector delta;
        delta.x = static_cast<FT_Pos>(std::lround((pen - whole) * 64.0f));
        delta.y = 0;
        FT_Set_Transform(face, &matrix, &delta);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_NORMAL) != 0) return false;
        const FT_GlyphSlot g = face->glyph;
        if (g->bitmap.width > 0 && g->bitmap.rows > 0) visit(g->bitmap, whole + g->bitmap_left, static_cast<float>(g->bitmap_top));
        pen += static_cast<float>(g->advance.x) / 64.0f + style.tracking;
    }
    advance = pen - style.tracking;
    return true;
}
}  // namespace

bool measureText(const TextStyle& style, const std::string& utf8, TextLayout& layout)
{
    bool any = false;
    TextLayout l;
    const bool ok = walkGlyphs(style, utf8, l.advance, [&](const FT_Bitmap& b, float left, float top) {
        const float right = left + static_cast<float>(b.width);
        const float bottom = top - static_cast<float>(b.rows);
        if (!any) {
            l.inkLeft = left;
            l.inkRight = right;
            l.inkTop = top;
            l.inkBottom = bottom;
            any = true;
        }
        l.inkLeft = std::fmin(l.inkLeft, left);
        l.inkRight = std::fmax(l.inkRight, right);
        l.inkTop = std::fmax(l.inkTop, top);
        l.inkBottom = std::fmin(l.inkBottom, bottom);
    });
    layout = l;
    return ok;
}

bool paintText(Image& image, const TextStyle& style, const std::string& utf8, float x, float baseline, Colour c)
{
    const int ox = static_cast<int>(std::lround(x));
    const int oy = static_cast<int>(std::lround(baseline));
    float advance = 0.0f;
    return walkGlyphs(style, utf8, advance, [&](const FT_Bitmap& b, float left, float top) {
        const int x0 = ox + static_cast<int>(left);
        const int y0 = oy - static_cast<int>(top);
        for (unsigned row = 0; row < b.rows; ++row)
            for (unsigned col = 0; col < b.width; ++col) {
                const unsigned char v = b.buffer[row * b.pitch + col];
                if (v) blendOver(image, x0 + static_cast<int>(col), y0 + static_cast<int>(row), c, v / 255.0f);
            }
    });
}

bool paintTextCentred(Image& image, const TextStyle& style, const std::string& utf8, float cx, float cy, Colour c)
{
    TextLayout l;
    if (!measureText(style, utf8, l)) return false;
    const float x = cx - (l.inkLeft + l.inkRight) * 0.5f;
    const float baseline = cy + (l.inkTop + l.inkBottom) * 0.5f;
    return paintText(image, style, utf8, x, baseline, c);
}
