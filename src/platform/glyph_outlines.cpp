// Glyph outlines from fontconfig, FreeType and the GLU tessellator.
//
// Every glyph is read unhinted in the face's design units and divided by the em size, so a list
// draws the glyph with an em square of 1.0 whatever size the text is later scaled to. Quadratic
// and cubic segments are cut into equal parameter steps, as many as keep the chord within
// flatnessEm of the curve; the tessellator then turns the closed contours into triangles. Edge
// flags mark which triangle edges lie on the outline, so text drawn with polygon mode GL_LINE
// shows the letters' outlines rather than the inner triangle edges.
#include "platform/glyph_outlines.h"

#include <GL/gl.h>
#include <GL/glu.h>
#ifndef __EMSCRIPTEN__
#include <fontconfig/fontconfig.h>
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

// Largest distance, in em, between a flattened curve and its chords: 1/2000 em is under a
// tenth of a pixel for text 200 pixels high.
constexpr double flatnessEm = 0.0005;
constexpr int maxCurveSteps = 64;

// Unicode code points of Windows-1252 codes 128 to 159; 0 where the code page leaves a code
// undefined. Codes 160 to 255 are the same as Unicode.
constexpr uint32_t windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Unicode code point of a Windows-1252 code, 0 for an undefined code.
uint32_t codePoint(int code)
{
    if (code >= 128 && code < 160) return windows1252High[code - 128];
    return static_cast<uint32_t>(code);
}

struct Point {
    double x = 0.0, y = 0.0;
};

// Contours of one glyph in design units while FreeType walks its outline.
struct OutlineWalk {
    std::vector<std::vector<Point>> contours;
    Point pen;
    double tolerance = 1.0;  // flatness in design units
};

void addPoint(OutlineWalk& walk, Point p)
{
    std::vector<Point>& contour = walk.contours.back();
    if (!contour.empty() && contour.back().x == p.x && contour.back().y == p.y) return;
    contour.push_back(p);
}

Point toPoint(const FT_Vector* v) { return Point{double(v->x), double(v->y)}; }

int moveTo(const FT_Vector* to, void* user)
{
    OutlineWalk& walk = *static_cast<OutlineWalk*>(user);
    walk.contours.emplace_back();
    walk.pen = toPoint(to);
    addPoint(walk, walk.pen);
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    OutlineWalk& walk = *static_cast<OutlineWalk*>(user);
    if (walk.contours.empty()) walk.contours.emplace_back();
    walk.pen = toPoint(to);
    addPoint(walk, walk.pen);
    return 0;
}

int stepsFor(double secondDifference, double factor, double tolerance)
{
    // The chord of a parameter step h stays within |B''|max h^2 / 8 of the curve.
    const double steps = std::ceil(std::sqrt(factor * secondDifference / tolerance));
    return std::clamp(static_cast<int>(steps), 1, maxCurveSteps);
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    OutlineWalk& walk = *static_cast<OutlineWalk*>(user);
    if (walk.contours.empty()) walk.contours.emplace_back();
    const Point p0 = walk.pen, p1 = toPoint(control), p2 = toPoint(to);
    const double dx = p0.x - 2 * p1.x + p2.x, dy = p0.y - 2 * p1.y + p2.y;
    const int steps = stepsFor(std::hypot(dx, dy), 0.25, walk.tolerance);
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1.0 - t;
        addPoint(walk, Point{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                             u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    walk.pen = p2;
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    OutlineWalk& walk = *static_cast<OutlineWalk*>(user);
    if (walk.contours.empty()) walk.contours.emplace_back();
    const Point p0 = walk.pen, p1 = toPoint(control1), p2 = toPoint(control2), p3 = toPoint(to);
    const double d1 = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    const double d2 = std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    const int steps = stepsFor(std::max(d1, d2), 0.75, walk.tolerance);
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        addPoint(walk, Point{a * p0.x + b * p1.x + c * p2.x + d * p3.x,
                             a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    walk.pen = p3;
    return 0;
}

// What the tessellator sends for one glyph, kept so that the glyph's display list can be
// compiled again later from exactly the same calls.
struct TessCall {
    enum Kind : uint8_t { Begin, EdgeFlag, Vertex, End } kind;
    GLenum value;      // primitive type (Begin) or flag (EdgeFlag)
    GLdouble xyz[3];   // position (Vertex), em units
};

struct TessRecord {
    std::vector<TessCall> calls;
    std::deque<std::vector<GLdouble>> store;  // vertices must outlive gluTessEndPolygon
};

void GLAPIENTRY tessBegin(GLenum type, void* user)
{
    static_cast<TessRecord*>(user)->calls.push_back({TessCall::Begin, type, {}});
}
void GLAPIENTRY tessVertex(void* vertex, void* user)
{
    const auto* v = static_cast<const GLdouble*>(vertex);
    static_cast<TessRecord*>(user)->calls.push_back({TessCall::Vertex, 0, {v[0], v[1], v[2]}});
}
void GLAPIENTRY tessEnd(void* user)
{
    static_cast<TessRecord*>(user)->calls.push_back({TessCall::End, 0, {}});
}
void GLAPIENTRY tessEdgeFlag(GLboolean flag, void* user)
{
    static_cast<TessRecord*>(user)->calls.push_back({TessCall::EdgeFlag, flag, {}});
}
void GLAPIENTRY tessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user)
{
    auto& store = static_cast<TessRecord*>(user)->store;
    store.push_back({coords[0], coords[1], coords[2]});
    *out = store.back().data();
}

using TessCallback = void(GLAPIENTRY*)();

// The glyph's filled outline, scaled by 1 / em, as the calls that draw it.
std::vector<TessCall> tessellateGlyph(GLUtesselator* tess, const OutlineWalk& walk, double em,
                                      bool evenOdd)
{
    TessRecord record;
    gluTessProperty(tess, GLU_TESS_WINDING_RULE,
                    evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
    gluTessBeginPolygon(tess, &record);
    for (const std::vector<Point>& contour : walk.contours) {
        size_t n = contour.size();
        // The outline walk ends each contour back on its first point.
        if (n > 1 && contour[n - 1].x == contour[0].x && contour[n - 1].y == contour[0].y) --n;
        if (n < 3) continue;
        gluTessBeginContour(tess);
        for (size_t i = 0; i < n; ++i) {
            record.store.push_back({contour[i].x / em, contour[i].y / em, 0.0});
            gluTessVertex(tess, record.store.back().data(), record.store.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    return std::move(record.calls);
}

// The font file and face index fontconfig matches for a request, or an empty path.
struct FaceMatch {
    std::string file;
    int index = 0;
};

#ifdef __EMSCRIPTEN__
// A page has no fontconfig: its file system holds, under fonts/, the face fontconfig matched
// for each family on the machine that built it, named after the family.
FaceMatch matchFace(const char* faceName, int, int)
{
    FaceMatch found;
    found.file = std::string("/fonts/") + faceName + ".ttf";
    return found;
}
#else
FaceMatch matchFace(const char* faceName, int pixelHeight, int weight)
{
    FaceMatch found;
    if (!FcInit()) return found;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return found;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, std::abs(pixelHeight));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return found;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
        found.file = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
    FcPatternDestroy(match);
    return found;
}
#endif

// One glyph as read: the calls that draw it and its advance.
struct CachedGlyph {
    std::vector<TessCall> calls;
    double advance = 0.0;
};

// The outlines of one font request; found is false when no face could be had.
struct CachedFace {
    std::string name;
    int pixelHeight = 0;
    int weight = 0;
    bool found = false;
    std::vector<CachedGlyph> glyphs;  // by character code, 0 to glyphCodes - 1
};

constexpr int glyphCodes = 256;

std::deque<CachedFace> cachedFaces;  // a deque: a face's address stays put as others are added
int faceReads = 0;

// Reads every glyph of the matched face and tessellates it; false when there is no face.
bool readFace(CachedFace& cached)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const FaceMatch match = matchFace(cached.name.c_str(), cached.pixelHeight, cached.weight);
    bool haveFace = !match.file.empty() && FT_Init_FreeType(&library) == 0 &&
                    FT_New_Face(library, match.file.c_str(), match.index, &face) == 0 &&
                    FT_IS_SCALABLE(face) && face->units_per_EM > 0;
    if (haveFace) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    GLUtesselator* tess = haveFace ? gluNewTess() : nullptr;
    if (!tess) {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
        return false;
    }

    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<TessCallback>(tessEnd));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<TessCallback>(tessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(tessCombine));
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    const double em = face->units_per_EM;
    const FT_Int32 loadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    double missingAdvance = 0.0;
    if (FT_Load_Glyph(face, 0, loadFlags) == 0)
        missingAdvance = double(face->glyph->metrics.horiAdvance) / em;

    FT_Outline_Funcs funcs = {};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;

    cached.glyphs.resize(glyphCodes);
    for (int code = 0; code < glyphCodes; ++code) {
        const uint32_t point = codePoint(code);
        const FT_UInt glyph = point ? FT_Get_Char_Index(face, point) : 0;
        CachedGlyph& out = cached.glyphs[code];
        out.advance = missingAdvance;
        OutlineWalk walk;
        walk.tolerance = flatnessEm * em;
        bool evenOdd = false;
        if (glyph != 0 && FT_Load_Glyph(face, glyph, loadFlags) == 0) {
            out.advance = double(face->glyph->metrics.horiAdvance) / em;
            if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
                FT_Outline& outline = face->glyph->outline;
                evenOdd = (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
                if (FT_Outline_Decompose(&outline, &funcs, &walk) != 0) walk.contours.clear();
            }
        }
        if (!walk.contours.empty()) out.calls = tessellateGlyph(tess, walk, em, evenOdd);
    }

    gluDeleteTess(tess);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

// The cached outlines of a request, read on its first use.
const CachedFace& cachedFace(const char* faceName, int pixelHeight, int weight)
{
    for (const CachedFace& face : cachedFaces)
        if (face.name == faceName && face.pixelHeight == pixelHeight && face.weight == weight)
            return face;
    CachedFace& face = cachedFaces.emplace_back();
    face.name = faceName;
    face.pixelHeight = pixelHeight;
    face.weight = weight;
    face.found = readFace(face);
    ++faceReads;
    if (!face.found)
        std::fprintf(stderr, "glyph outlines: font face \"%s\" not found, text will not show\n",
                     faceName);
    return face;
}

void replay(const std::vector<TessCall>& calls)
{
    for (const TessCall& call : calls) {
        switch (call.kind) {
        case TessCall::Begin: glBegin(call.value); break;
        case TessCall::EdgeFlag: glEdgeFlag(static_cast<GLboolean>(call.value)); break;
        case TessCall::Vertex: glVertex3dv(call.xyz); break;
        case TessCall::End: glEnd(); break;
        }
    }
}

}  // namespace

bool buildGlyphOutlines(const char* faceName, int pixelHeight, int weight, uint32_t listBase,
                        int first, int count, float* advances)
{
    if (listBase == 0 || count <= 0 || first < 0 || first + count > glyphCodes) return false;
    const CachedFace* face = nullptr;
    if (!faceName || !*faceName)
        std::fprintf(stderr, "glyph outlines: no font face named, text will not show\n");
    else
        face = &cachedFace(faceName, pixelHeight, weight);
    const bool found = face && face->found;

    for (int i = 0; i < count; ++i) {
        const int code = first + i;
        const double advance = found ? face->glyphs[code].advance : 0.0;
        glNewList(listBase + i, GL_COMPILE);
        if (found) {
            replay(face->glyphs[code].calls);
            glTranslated(advance, 0.0, 0.0);
        }
        glEndList();
        if (advances) advances[code] = static_cast<float>(advance);
    }
    return found;
}

int glyphOutlineFaceReads() { return faceReads; }
