// ASE reader: a keyword scanner over the whole file held in memory.
//
// The reader gives exactly the results of a stream reader built on scanf: tokens are runs of
// non-blank characters, a keyword's values are read with its scanf format, a token that no pass
// knows skips the rest of its line (at most 254 characters, as fgets into a 255-character
// buffer would), and the scans that look for the n-th block or count keys look at every token.
// Instead of rewinding the file for every block, the counting pass notes where each
// "*MATERIAL", "*GEOMOBJECT", "*LIGHTOBJECT" and "*CAMERAOBJECT" token ends; a block pass starts
// there, which is where a scan from the top for the n-th such token would stop. A line index
// built in the same scan (each line's start, first token and last non-blank character) lets
// the line-skipping passes step from line to line, reading characters only where a line holds
// more than they skip; the results are the same as reading every character, which the tests
// and the fuzzer check. Numbers are converted over exactly the characters scanf's %d, %i and
// %f take: exporter-style reals by one exact float operation, anything else by from_chars.
// For a large file the index is built, and the geometry objects are read, on several threads:
// each object's pass writes only its own record, and the frame tables are built afterwards in
// file order, so the model is the same however many threads read it.
//
// Input is never trusted: indices outside their table are ignored, names are cut at 254
// characters, mesh sizes are bounded by the file's size and frame tables by a budget that
// grows with it, so no line of any file writes outside a table or asks for unbounded memory.
#include "assets/ase_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/files.h"
#include "platform/mapped_file.h"
#include "platform/worker_threads.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Characters and tokens

// The blanks of the C locale's isspace: they separate tokens and a blank in a format skips
// any run of them, line ends included. Tab, line feed, vertical tab, form feed, carriage
// return and space, as bits of one word.
inline bool isBlank(char c)
{
    constexpr uint64_t blanks = uint64_t(1) << ' ' | uint64_t(0x1F) << '\t';
    const unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' && (blanks >> u & 1);
}

struct Cursor {
    const char* p;
    const char* end;
};

struct Token {
    const char* p = nullptr;
    size_t n = 0;
};

inline void skipBlanks(Cursor& c)
{
    while (c.p < c.end && isBlank(*c.p)) ++c.p;
}

// The end of the run of non-blank characters at p, sixteen at a time where there are as many.
inline const char* tokenEndFrom(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i nine = _mm_set1_epi8(9), four = _mm_set1_epi8(4), space = _mm_set1_epi8(' ');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i shifted = _mm_sub_epi8(block, nine);
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(shifted, four), shifted);  // 9 to 13
        const unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(control, _mm_cmpeq_epi8(block, space))));
        if (mask) return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    while (p < end && !isBlank(*p)) ++p;
    return p;
}

// "%s": skips blanks and takes the next run of non-blank characters. False at the end.
inline bool readToken(Cursor& c, Token& token)
{
    skipBlanks(c);
    if (c.p == c.end) return false;
    const char* start = c.p;
    c.p = tokenEndFrom(c.p, c.end);
    token.p = start;
    token.n = static_cast<size_t>(c.p - start);
    return true;
}

// The rest of a line: at most 254 characters, up to and including the line end.
inline void skipRestOfLine(Cursor& c)
{
    const size_t left = static_cast<size_t>(c.end - c.p);
    const size_t span = left < 254 ? left : 254;
    const void* lineEnd = std::memchr(c.p, '\n', span);
    c.p = lineEnd ? static_cast<const char*>(lineEnd) + 1 : c.p + span;
}

// ---------------------------------------------------------------------------------------------
// Keywords

enum Keyword : int {
    KwNone,
    KwGeomObject, KwLightObject, KwCameraObject, KwShapeObject,
    KwMaterialCount, KwSceneFirstFrame, KwSceneLastFrame, KwSceneFrameSpeed, KwSceneTicksPerFrame,
    KwMeshNumVertex, KwMeshNumFaces, KwMeshNumTVertex, KwMeshNumTVFaces, KwMeshNormals,
    KwMaterialRef, KwNodeName,
    KwMaterial, KwMaterialName, KwMaterialClass, KwMaterialAmbient, KwMaterialDiffuse,
    KwMaterialSpecular, KwMaterialShine, KwMaterialShineStrength, KwMaterialTransparency,
    KwMaterialWireSize, KwMaterialSelfIllum, KwBitmap, KwUTiling, KwVTiling, KwUOffset, KwVOffset,
    KwMeshVertex, KwMeshTVert, KwMeshVertexNormal, KwMeshFaceNormal, KwMeshFace, KwMeshTFace,
    KwTmAnimation, KwTmPos, KwWireframeColor, KwTmRotAxis,
    KwBezierPosKey, KwPosSample, KwRotKey, KwTcbRotKey, KwRotSample,
    KwLightColor, KwLightIntens, KwLightFalloff,
    KwCameraNear, KwCameraFar, KwCameraFov, KwCameraTDist,
    KwCount
};
static_assert(KwCount <= 64, "keyword sets are 64-bit masks");

struct KeywordName {
    const char* text;
    Keyword keyword;
};

constexpr KeywordName keywordNames[] = {
    {"*GEOMOBJECT", KwGeomObject},
    {"*LIGHTOBJECT", KwLightObject},
    {"*CAMERAOBJECT", KwCameraObject},
    {"*SHAPEOBJECT", KwShapeObject},
    {"*MATERIAL_COUNT", KwMaterialCount},
    {"*SCENE_FIRSTFRAME", KwSceneFirstFrame},
    {"*SCENE_LASTFRAME", KwSceneLastFrame},
    {"*SCENE_FRAMESPEED", KwSceneFrameSpeed},
    {"*SCENE_TICKSPERFRAME", KwSceneTicksPerFrame},
    {"*MESH_NUMVERTEX", KwMeshNumVertex},
    {"*MESH_NUMFACES", KwMeshNumFaces},
    {"*MESH_NUMTVERTEX", KwMeshNumTVertex},
    {"*MESH_NUMTVFACES", KwMeshNumTVFaces},
    {"*MESH_NORMALS", KwMeshNormals},
    {"*MATERIAL_REF", KwMaterialRef},
    {"*NODE_NAME", KwNodeName},
    {"*MATERIAL", KwMaterial},
    {"*MATERIAL_NAME", KwMaterialName},
    {"*MATERIAL_CLASS", KwMaterialClass},
    {"*MATERIAL_AMBIENT", KwMaterialAmbient},
    {"*MATERIAL_DIFFUSE", KwMaterialDiffuse},
    {"*MATERIAL_SPECULAR", KwMaterialSpecular},
    {"*MATERIAL_SHINE", KwMaterialShine},
    {"*MATERIAL_SHINESTRENGTH", KwMaterialShineStrength},
    {"*MATERIAL_TRANSPARENCY", KwMaterialTransparency},
    {"*MATERIAL_WIRESIZE", KwMaterialWireSize},
    {"*MATERIAL_SELFILLUM", KwMaterialSelfIllum},
    {"*BITMAP", KwBitmap},
    {"*UVW_U_TILING", KwUTiling},
    {"*UVW_V_TILING", KwVTiling},
    {"*UVW_U_OFFSET", KwUOffset},
    {"*UVW_V_OFFSET", KwVOffset},
    {"*MESH_VERTEX", KwMeshVertex},
    {"*MESH_TVERT", KwMeshTVert},
    {"*MESH_VERTEXNORMAL", KwMeshVertexNormal},
    {"*MESH_FACENORMAL", KwMeshFaceNormal},
    {"*MESH_FACE", KwMeshFace},
    {"*MESH_TFACE", KwMeshTFace},
    {"*TM_ANIMATION", KwTmAnimation},
    {"*TM_POS", KwTmPos},
    {"*WIREFRAME_COLOR", KwWireframeColor},
    {"*TM_ROTAXIS", KwTmRotAxis},
    {"*CONTROL_BEZIER_POS_KEY", KwBezierPosKey},
    {"*CONTROL_POS_SAMPLE", KwPosSample},
    {"*CONTROL_ROT_KEY", KwRotKey},
    {"*CONTROL_TCB_ROT_KEY", KwTcbRotKey},
    {"*CONTROL_ROT_SAMPLE", KwRotSample},
    {"*LIGHT_COLOR", KwLightColor},
    {"*LIGHT_INTENS", KwLightIntens},
    {"*LIGHT_FALLOFF", KwLightFalloff},
    {"*CAMERA_NEAR", KwCameraNear},
    {"*CAMERA_FAR", KwCameraFar},
    {"*CAMERA_FOV", KwCameraFov},
    {"*CAMERA_TDIST", KwCameraTDist},
};

constexpr size_t longestKeyword = 32;

// Keywords by a hash of their length and their first and last eight letters; a token is
// compared with the one keyword in its slot only, by those two words (which cover the whole of
// a keyword of up to seventeen characters) and the letters between them.
inline uint64_t loadUpTo8(const char* p, size_t n)
{
    uint64_t word = 0;
    if (n >= 8) {
        std::memcpy(&word, p, 8);
        return word;
    }
    for (size_t i = 0; i < n; ++i) word |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return word;
}

// The letters after the leading '*': the first eight (fewer, zero-filled, for a short token)
// and, for a token of nine characters or more, the last eight.
struct KeywordWords {
    uint64_t head;
    uint64_t tail;
};

inline KeywordWords keywordWords(const char* p, size_t n)
{
    return {loadUpTo8(p + 1, n - 1), n >= 9 ? loadUpTo8(p + n - 8, 8) : 0};
}

inline uint32_t keywordHash(const KeywordWords& words, size_t n, uint64_t seed)
{
    const uint64_t mixed = (words.head * 0x9E3779B97F4A7C15ull) ^ (words.tail * 0xC2B2AE3D27D4EB4Full) ^ n;
    return static_cast<uint32_t>((mixed * seed) >> 54);
}

struct KeywordTable {
    static constexpr size_t slots = 1024;
    static constexpr size_t count = sizeof keywordNames / sizeof keywordNames[0];
    uint64_t seed = 0;
    bool hashed = false;  // false: no seed tried spreads them, compare with every keyword
    int8_t slot[slots];
    uint8_t length[count];
    KeywordWords words[count];
    KeywordTable()
    {
        for (size_t i = 0; i < count; ++i) {
            length[i] = static_cast<uint8_t>(std::strlen(keywordNames[i].text));
            words[i] = keywordWords(keywordNames[i].text, length[i]);
        }
        uint64_t candidate = 0x165667B19E3779F9ull;
        for (int attempt = 0; attempt < 4096 && !hashed; ++attempt, candidate += 0x27D4EB2F165667C6ull) {
            seed = candidate | 1;
            std::memset(slot, -1, sizeof slot);
            hashed = true;
            for (size_t i = 0; i < count && hashed; ++i) {
                int8_t& entry = slot[keywordHash(words[i], length[i], seed)];
                hashed = entry < 0;
                entry = static_cast<int8_t>(i);
            }
        }
    }
};

const KeywordTable keywordTable;

inline bool sameBytes(const char* a, const char* b, size_t n)
{
    while (n >= 8) {
        uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y) return false;
        a += 8;
        b += 8;
        n -= 8;
    }
    while (n--)
        if (*a++ != *b++) return false;
    return true;
}

// The keyword a whole token is, compared case-sensitively; KwNone for any other token.
inline Keyword classify(const Token& token)
{
    if (token.n < 2 || token.n > longestKeyword || token.p[0] != '*') return KwNone;
    if (!keywordTable.hashed) {
        for (size_t i = 0; i < KeywordTable::count; ++i)
            if (keywordTable.length[i] == token.n && sameBytes(keywordNames[i].text, token.p, token.n))
                return keywordNames[i].keyword;
        return KwNone;
    }
    const KeywordWords words = keywordWords(token.p, token.n);
    const int entry = keywordTable.slot[keywordHash(words, token.n, keywordTable.seed)];
    if (entry < 0 || keywordTable.length[entry] != token.n) return KwNone;
    const KeywordWords& known = keywordTable.words[entry];
    if (words.head != known.head || words.tail != known.tail) return KwNone;
    // Letters 1 to 8 and n - 8 to n - 1 are compared; what lies between them, if anything.
    if (token.n > 17 && !sameBytes(keywordNames[entry].text + 9, token.p + 9, token.n - 17)) return KwNone;
    return keywordNames[entry].keyword;
}

inline bool endsNode(Keyword k)
{
    return k == KwGeomObject || k == KwLightObject || k == KwCameraObject || k == KwShapeObject;
}

// ---------------------------------------------------------------------------------------------
// Number conversions: the characters scanf takes, and the value it stores

inline bool isDigitIn(char c, int base)
{
    if (base == 16) return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
    if (base == 8) return c >= '0' && c <= '7';
    return c >= '0' && c <= '9';
}

inline int digitValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// "%d" (autoBase false) or "%i" (autoBase true): skips blanks, takes a sign and digits (with
// "%i", "0x" for hexadecimal and a leading 0 for octal). The value is converted as a 64-bit
// long, saturating, and stored truncated to 32 bits, as glibc's scanf stores it. A sign or
// "0x" not followed by a digit is consumed; the sign alone is a failed conversion.
bool scanIntGeneral(Cursor& c, bool autoBase, int32_t& out)
{
    const char* p = c.p;
    const char* end = c.end;
    if (p == end) return false;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    int base = 10;
    if (autoBase && p < end && *p == '0') {
        if (p + 1 < end && (p[1] | 0x20) == 'x') {
            p += 2;
            base = 16;
            if (p == end || !isDigitIn(*p, 16)) {
                c.p = p;
                out = 0;
                return true;
            }
        } else {
            base = 8;
        }
    }
    const char* digits = p;
    uint64_t magnitude = 0;
    bool overflow = false;
    while (p < end && isDigitIn(*p, base)) {
        const uint64_t next = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digitValue(*p));
        if (magnitude > (std::numeric_limits<uint64_t>::max() - 15) / 16) overflow = true;
        magnitude = next;
        ++p;
    }
    c.p = p;
    if (p == digits) return false;
    constexpr uint64_t longMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    int64_t value = 0;
    if (negative)
        value = (overflow || magnitude > longMax) ? std::numeric_limits<int64_t>::min()
                                                  : -static_cast<int64_t>(magnitude);
    else
        value = (overflow || magnitude > longMax) ? std::numeric_limits<int64_t>::max()
                                                  : static_cast<int64_t>(magnitude);
    out = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
    return true;
}

inline bool matchesFolded(const char* p, const char* end, const char* lower, size_t& matched)
{
    matched = 0;
    while (lower[matched] != '\0') {
        if (p + matched >= end || (p[matched] | 0x20) != lower[matched]) return false;
        ++matched;
    }
    return true;
}

// Converts [start, stop) with strtof, for the rare values std::from_chars reports out of range
// (overflow to infinity, underflow toward zero, as scanf stores them).
float convertWithStrtof(const char* start, const char* stop)
{
    const std::string text(start, stop);
    return std::strtof(text.c_str(), nullptr);
}

constexpr float powersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// "%f": skips blanks and takes an optional sign, then "inf", "infinity", "nan", a hexadecimal
// "0x" real or a decimal real with optional exponent. As glibc does, an "e" (or "p") with no
// exponent digits after it is consumed and the mantissa's value stored; a sign, point or "0x"
// with no digits is consumed and the conversion fails.
bool scanFloatGeneral(Cursor& c, float& out)
{
    const char* p = c.p;
    const char* end = c.end;
    if (p == end) return false;
    const char* start = p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (p < end && (*p | 0x20) == 'i') {
        size_t matched = 0;
        if (!matchesFolded(p, end, "inf", matched)) {
            c.p = p + matched;
            return false;
        }
        p += 3;
        if (p < end && (*p | 0x20) == 'i') {
            if (!matchesFolded(p, end, "inity", matched)) {
                c.p = p + matched;
                return false;
            }
            p += 5;
        }
        c.p = p;
        out = negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
        return true;
    }
    if (p < end && (*p | 0x20) == 'n') {
        size_t matched = 0;
        if (!matchesFolded(p, end, "nan", matched)) {
            c.p = p + matched;
            return false;
        }
        c.p = p + 3;
        out = negative ? -std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::quiet_NaN();
        return true;
    }
    const bool hex = p + 1 < end && p[0] == '0' && (p[1] | 0x20) == 'x';
    const int base = hex ? 16 : 10;
    if (hex) p += 2;
    const char* mantissa = p;
    size_t digitCount = 0;
    // Decimal digits are gathered on the way; up to 2^24 with at most ten places after the
    // point the value is one exact division (or product) of exact floats, hence correctly
    // rounded, which is what the exporters' "%.4f" values always are.
    uint64_t digits = 0;
    int scale = 0;
    bool exact = !hex;
    while (p < end && isDigitIn(*p, base)) {
        if (digits < (uint64_t(1) << 40)) digits = digits * 10 + static_cast<uint64_t>(*p - '0');
        else exact = false;
        ++p;
        ++digitCount;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && isDigitIn(*p, base)) {
            if (digits < (uint64_t(1) << 40)) {
                digits = digits * 10 + static_cast<uint64_t>(*p - '0');
                --scale;
            } else {
                exact = false;
            }
            ++p;
            ++digitCount;
        }
    }
    if (digitCount == 0) {
        c.p = p;
        return false;
    }
    const char exponentMark = hex ? 'p' : 'e';
    if (p < end && (*p | 0x20) == exponentMark) {
        ++p;
        if (p < end && (*p == '+' || *p == '-')) ++p;
        while (p < end && *p >= '0' && *p <= '9') {
            ++p;
            exact = false;
        }
    }
    c.p = p;
    if (exact && digits <= (uint64_t(1) << 24) && scale >= -10) {
        const float value = static_cast<float>(digits) / powersOfTen[-scale];
        out = negative ? -value : value;
        return true;
    }
    float value = 0.0f;
    const auto result = std::from_chars(mantissa, p, value,
                                        hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        out = convertWithStrtof(start, p);
        return true;
    }
    out = negative ? -value : value;
    return true;
}

inline bool isDecimal(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Whether the four characters of word (the first in its lowest byte) are all decimal digits:
// each byte's upper half is 3 and its lower half stays below 16 when 6 is added.
inline bool fourDigits(uint32_t word)
{
    return (word & 0xF0F0F0F0u) == 0x30303030u && ((word + 0x06060606u) & 0xF0F0F0F0u) == 0x30303030u;
}

// The value of four decimal digits, the first the most significant.
inline uint32_t fourDigitsValue(uint32_t word)
{
    const uint32_t d = word - 0x30303030u;
    const uint32_t pairs = (d * 10 + (d >> 8)) & 0x00FF00FFu;  // first two, last two
    return (pairs & 0xFFu) * 100 + (pairs >> 16);
}

// Room enough after a number's first character for the fast paths to look ahead without
// checking the end: a sign, ten digits, a point and the character after them.
constexpr ptrdiff_t fastRoom = 16;

// "%d" / "%i" as scanIntGeneral above, taking the common cases (an optional '-', one to nine
// decimal digits, and with "%i" no leading 0, or with "%i" a lone 0) without the general
// conversion. The fast paths are always inlined: the cursor then stays in a register through
// a line's conversions instead of going through memory at every call.
[[gnu::always_inline]] inline bool scanInt(Cursor& c, bool autoBase, int32_t& out)
{
    skipBlanks(c);
    const char* p = c.p;
    if (c.end - p >= fastRoom) {
        const bool negative = *p == '-';
        p += negative;
        if (isDecimal(*p) && !(autoBase && *p == '0')) {
            int32_t value = *p++ - '0';
            for (int n = 1; n < 9 && isDecimal(*p); ++n) value = value * 10 + (*p++ - '0');
            if (!isDecimal(*p)) {
                c.p = p;
                out = negative ? -value : value;
                return true;
            }
        } else if (autoBase && *p == '0' && !isDecimal(p[1]) && (p[1] | 0x20) != 'x') {
            // A lone 0 with "%i": octal, value 0, whatever sign came before it.
            c.p = p + 1;
            out = 0;
            return true;
        }
    }
    return scanIntGeneral(c, autoBase, out);
}

// "%f" as scanFloatGeneral above, taking the exporters' plain decimals (an optional '-', at
// most ten digits with or without a point, no exponent, at most 2^24 as an integer of all the
// digits) with the same single exact operation, and anything else the general way.
[[gnu::always_inline]] inline bool scanFloat(Cursor& c, float& out)
{
    skipBlanks(c);
    const char* p = c.p;
    if (c.end - p >= fastRoom) {
        const bool negative = *p == '-';
        p += negative;
        if (isDecimal(*p) && !(p[0] == '0' && (p[1] | 0x20) == 'x')) {
            uint32_t digits = 0;
            int count = 0, scale = 0;
            while (isDecimal(*p) && count < 10) {
                digits = digits * 10 + static_cast<uint32_t>(*p++ - '0');
                ++count;
            }
            if (*p == '.') {
                ++p;
                // The exporters' four places after the point, converted as one word.
                uint32_t four = 0;
                std::memcpy(&four, p, 4);
                if (count <= 5 && fourDigits(four) && !isDecimal(p[4])) {
                    digits = digits * 10000 + fourDigitsValue(four);
                    count += 4;
                    scale = -4;
                    p += 4;
                }
                while (isDecimal(*p) && count < 10) {
                    digits = digits * 10 + static_cast<uint32_t>(*p++ - '0');
                    ++count;
                    --scale;
                }
            }
            if (!isDecimal(*p) && (*p | 0x20) != 'e' && digits <= (uint32_t(1) << 24) && count < 10) {
                c.p = p;
                const float value = static_cast<float>(digits) / powersOfTen[-scale];
                out = negative ? -value : value;
                return true;
            }
        }
    }
    return scanFloatGeneral(c, out);
}

// A format's blank and literal word: skips blanks, then takes the word's characters while
// they match, as scanf does (a mismatch leaves the cursor on the first character that differs).
[[gnu::always_inline]] inline bool matchWord(Cursor& c, const char* word, size_t n)
{
    skipBlanks(c);
    if (static_cast<size_t>(c.end - c.p) >= n && sameBytes(c.p, word, n)) {
        c.p += n;
        return true;
    }
    while (c.p < c.end && *word != '\0' && *c.p == *word) {
        ++c.p;
        ++word;
    }
    return false;
}

// The rest of a face line after its index, "\tA:\t%d B:\t%d C:\t%d AB:    %i BC:    %i CA:
// %i\t *MESH_SMOOTHING %i \t*MESH_MTLID %i": each field a blank, its word and a number, the
// first three with "%d", the rest with "%i". Returns the conversions stored in order.
int scanFaceFields(Cursor& c, int32_t* values)
{
    struct Field {
        const char* word;
        uint8_t length;
        bool autoBase;
    };
    static constexpr Field fields[8] = {{"A:", 2, false},  {"B:", 2, false}, {"C:", 2, false},
                                        {"AB:", 3, true},  {"BC:", 3, true}, {"CA:", 3, true},
                                        {"*MESH_SMOOTHING", 15, true}, {"*MESH_MTLID", 11, true}};
    for (int i = 0; i < 8; ++i) {
        if (!matchWord(c, fields[i].word, fields[i].length)) return i;
        if (!scanInt(c, fields[i].autoBase, values[i])) return i;
    }
    return 8;
}

// "%d:": an index and, when it follows at once, its colon. True when the index converted.
inline bool scanIndexColon(Cursor& c, int32_t& index)
{
    if (!scanInt(c, false, index)) return false;
    if (c.p < c.end && *c.p == ':') ++c.p;
    return true;
}

// A format of blanks and count %f conversions only: each %f skips blanks itself, so this is
// count conversions in a row. Returns the conversions stored.
inline int scanFloats(Cursor& c, float* out, int count)
{
    for (int i = 0; i < count; ++i)
        if (!scanFloat(c, out[i])) return i;
    return count;
}

// " %f": one real into out; out keeps its value when the conversion fails.
inline void readFloat(Cursor& c, float& out)
{
    float value = 0.0f;
    if (scanFloat(c, value)) out = value;
}

inline void readInt(Cursor& c, bool autoBase, int32_t& out)
{
    int32_t value = 0;
    if (scanInt(c, autoBase, value)) out = value;
}

// Three reals into out[0..2] in file order ("%f %f %f" or " %f\t%f\t%f": blanks and three
// reals); fields whose value does not convert keep theirs.
inline void readTriple(Cursor& c, float* out)
{
    float v[3] = {0, 0, 0};
    const int n = scanFloats(c, v, 3);
    for (int i = 0; i < n; ++i) out[i] = v[i];
}

// A quoted value: blanks, an opening double quote, then the characters up to the closing
// quote, which must be on the same line (without one, the rest of the line less its trailing
// blanks). At most aseNameSize - 1 characters are kept. Without an opening quote nothing is
// read and dest keeps its contents.
void readQuoted(Cursor& c, char (&dest)[aseNameSize])
{
    skipBlanks(c);
    if (c.p == c.end || *c.p != '"') return;
    ++c.p;
    const char* start = c.p;
    while (c.p < c.end && *c.p != '"' && *c.p != '\n') ++c.p;
    const char* stop = c.p;
    if (c.p < c.end && *c.p == '"')
        ++c.p;
    else
        while (stop > start && isBlank(stop[-1])) --stop;
    const size_t length = std::min<size_t>(static_cast<size_t>(stop - start), aseNameSize - 1);
    std::memcpy(dest, start, length);
    std::memset(dest + length, 0, aseNameSize - length);
}

// Vertex and normal triples change axes: file (X, Y, Z) is stored as (X, Z, -Y).
inline void readRendererTriple(Cursor& c, Vector3* target)
{
    float v[3] = {0, 0, 0};
    const int n = scanFloats(c, v, 3);  // "%f %f %f"
    if (!target) return;
    if (n >= 1) target->x = v[0];
    if (n >= 2) target->z = -v[1];
    if (n >= 3) target->y = v[2];
}

template <class T>
inline T* entryAt(std::vector<T>& table, bool indexRead, int32_t index)
{
    if (!indexRead || index < 0 || static_cast<size_t>(index) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------------
// Reading state

struct BlockStarts {
    std::vector<const char*> materials;  // just past each "*MATERIAL" token, in file order
    std::vector<const char*> objects;
    std::vector<const char*> lights;
    std::vector<const char*> cameras;
};

// Where every line starts, its first token and where its last non-blank character ends, with
// the first token's keyword: the passes that skip lines step from line to line through it and
// go back to the characters only where a line holds more than they skip.
struct IndexedLine {
    uint32_t start;       // first character
    uint32_t tokenStart;  // first token; equal to tokenEnd when the line holds none
    uint32_t tokenEnd;
    uint32_t contentEnd;  // just past the last non-blank character
    uint8_t keyword;      // of the first token
};

struct LineIndex {
    std::unique_ptr<IndexedLine[]> line;  // lines entries, then one whose start is the size
    uint32_t lines = 0;
};

struct Reader {
    const char* begin;
    const char* end;
    AseModel& model;
    BlockStarts starts;
    int64_t frameBudget;            // frame-table entries this model may still take
    const LineIndex* index;         // null: every pass reads characters
    std::vector<uint32_t> stars;    // offsets of the tokens that start with '*', in order
};

// Finds the line ends and the tokens that start with '*' (a '*' at the start or after a blank)
// in [from, to).
void scanMarks(const char* text, size_t from, size_t to, std::vector<uint32_t>& newlines,
               std::vector<uint32_t>& stars)
{
    size_t i = from;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i star = _mm_set1_epi8('*');
    for (; i + 16 <= to; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        unsigned lineMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
        unsigned starMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, star)));
        while (lineMask) {
            newlines.push_back(static_cast<uint32_t>(i + static_cast<size_t>(__builtin_ctz(lineMask))));
            lineMask &= lineMask - 1;
        }
        while (starMask) {
            const size_t q = i + static_cast<size_t>(__builtin_ctz(starMask));
            if (q == 0 || isBlank(text[q - 1])) stars.push_back(static_cast<uint32_t>(q));
            starMask &= starMask - 1;
        }
    }
#endif
    for (; i < to; ++i) {
        if (text[i] == '\n') newlines.push_back(static_cast<uint32_t>(i));
        if (text[i] == '*' && (i == 0 || isBlank(text[i - 1]))) stars.push_back(static_cast<uint32_t>(i));
    }
}

// Index entries [first, last) from the line ends.
void fillLines(const char* text, size_t size, const std::vector<uint32_t>& newlines, IndexedLine* lines,
               size_t first, size_t last)
{
    const char* end = text + size;
    uint32_t lineStart = first == 0 ? 0 : newlines[first - 1] + 1;
    for (size_t l = first; l < last; ++l) {
        const uint32_t lineEnd = l < newlines.size() ? newlines[l] : static_cast<uint32_t>(size);
        IndexedLine& entry = lines[l];
        entry.start = lineStart;
        uint32_t p = lineStart;
        while (p < lineEnd && isBlank(text[p])) ++p;
        const uint32_t tokenStart = p;
        if (p < lineEnd) p = static_cast<uint32_t>(tokenEndFrom(text + p, end) - text);
        uint32_t content = lineEnd;
        while (content > p && isBlank(text[content - 1])) --content;
        entry.tokenStart = tokenStart;
        entry.tokenEnd = p;
        entry.contentEnd = content;
        entry.keyword = static_cast<uint8_t>(classify(Token{text + tokenStart, p - tokenStart}));
        lineStart = lineEnd + 1;
    }
}

// Builds the index in parts side by side: the marks of each stretch of the text, then the
// entries of each run of lines; the parts only ever meet in order.
void buildLineIndex(const char* text, size_t size, LineIndex& index, std::vector<uint32_t>& stars, int threads)
{
    struct Stretch {
        size_t from = 0, to = 0;
        std::vector<uint32_t> newlines, stars;
    };
    struct Work {
        const char* text;
        size_t size;
        std::vector<Stretch> stretches;
        std::vector<uint32_t> newlines;
        IndexedLine* lines = nullptr;
        size_t lineCount = 0;
    } work{text, size, std::vector<Stretch>(static_cast<size_t>(std::max(threads, 1))), {}, nullptr, 0};
    const size_t parts = work.stretches.size();
    for (size_t i = 0; i < parts; ++i) {
        Stretch& stretch = work.stretches[i];
        stretch.from = size * i / parts;
        stretch.to = size * (i + 1) / parts;
        stretch.newlines.reserve((stretch.to - stretch.from) / 32 + 16);
        stretch.stars.reserve((stretch.to - stretch.from) / 32 + 16);
    }
    WorkerJob marks;
    marks.pieces = static_cast<int32_t>(parts);
    marks.context = &work;
    marks.work = [](void* context, int32_t i) {
        Work& w = *static_cast<Work*>(context);
        Stretch& stretch = w.stretches[static_cast<size_t>(i)];
        scanMarks(w.text, stretch.from, stretch.to, stretch.newlines, stretch.stars);
    };
    runWorkerJob(marks, threads);
    if (parts == 1) {
        work.newlines.swap(work.stretches[0].newlines);
        stars.swap(work.stretches[0].stars);
    } else {
        size_t newlineCount = 0, starCount = 0;
        for (const Stretch& stretch : work.stretches) {
            newlineCount += stretch.newlines.size();
            starCount += stretch.stars.size();
        }
        work.newlines.reserve(newlineCount);
        stars.reserve(starCount);
        for (const Stretch& stretch : work.stretches) {
            work.newlines.insert(work.newlines.end(), stretch.newlines.begin(), stretch.newlines.end());
            stars.insert(stars.end(), stretch.stars.begin(), stretch.stars.end());
        }
    }
    work.lineCount = work.newlines.size() + 1;
    index.lines = static_cast<uint32_t>(work.lineCount);
    index.line.reset(new IndexedLine[work.lineCount + 1]);
    work.lines = index.line.get();
    WorkerJob entries;
    entries.pieces = static_cast<int32_t>(parts);
    entries.context = &work;
    entries.work = [](void* context, int32_t i) {
        Work& w = *static_cast<Work*>(context);
        const size_t n = w.stretches.size(), piece = static_cast<size_t>(i);
        fillLines(w.text, w.size, w.newlines, w.lines, w.lineCount * piece / n, w.lineCount * (piece + 1) / n);
    };
    runWorkerJob(entries, threads);
    IndexedLine& last = index.line[work.lineCount];
    last.start = last.tokenStart = last.tokenEnd = last.contentEnd = static_cast<uint32_t>(size);
    last.keyword = KwNone;
}

// A pass's walk through the file: the next token and the skip to the end of its line, exactly
// as reading the characters would give them, through the line index where it can.
struct Walk {
    const Reader& r;
    Cursor c;
    uint32_t line = 0;  // the line that holds c.p, when indexed

    Walk(const Reader& reader, const char* from) : r(reader), c{from, reader.end}
    {
        if (r.index) {
            const IndexedLine* lines = r.index->line.get();
            const uint32_t offset = static_cast<uint32_t>(from - r.begin);
            line = static_cast<uint32_t>(
                std::upper_bound(lines, lines + r.index->lines, offset,
                                 [](uint32_t value, const IndexedLine& l) { return value < l.start; }) -
                lines) - 1;
        }
    }

    // Brings line up to c.p after characters were read directly.
    void sync()
    {
        const LineIndex& index = *r.index;
        const uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
        while (line < index.lines && offset >= index.line[line + 1].start) ++line;
    }

    // Reads the next token and says which keyword it is; false at the end of the file.
    bool next(Keyword& keyword)
    {
        Token token;
        if (!r.index) {
            if (!readToken(c, token)) return false;
            keyword = classify(token);
            return true;
        }
        sync();
        const LineIndex& index = *r.index;
        uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
        while (line < index.lines) {
            const IndexedLine& l = index.line[line];
            const bool hasToken = l.tokenStart != l.tokenEnd;
            if (hasToken && offset <= l.tokenStart) {
                c.p = r.begin + l.tokenEnd;
                keyword = static_cast<Keyword>(l.keyword);
                return true;
            }
            if (!hasToken || offset >= l.contentEnd) {
                if (++line == index.lines) break;
                offset = index.line[line].start;
                continue;
            }
            // Inside the line with more after: read the characters.
            readToken(c, token);
            keyword = classify(token);
            return true;
        }
        c.p = r.end;
        return false;
    }

    // next, skipping the line of every token whose keyword is not in wanted as a pass does with
    // an unknown token; through the index, a line that opens with such a token and whose rest
    // fits the skip is passed over without looking at it.
    bool nextWanted(Keyword& keyword, uint64_t wanted)
    {
        if (!r.index) {
            while (next(keyword)) {
                if (wanted >> keyword & 1) return true;
                skipLine();
            }
            return false;
        }
        const IndexedLine* lines = r.index->line.get();
        const uint32_t count = r.index->lines;
        for (;;) {
            // At a line's start (as after every whole-line skip), the lines to pass over are
            // found in the index alone.
            sync();
            const uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
            if (line < count && (lines[line].tokenStart == lines[line].tokenEnd || offset <= lines[line].tokenStart)) {
                while (line < count) {
                    const IndexedLine& l = lines[line];
                    const bool skipped = l.tokenStart == l.tokenEnd ||
                                         (!(wanted >> l.keyword & 1) && lines[line + 1].start - l.tokenEnd <= 254);
                    if (!skipped) break;
                    ++line;
                }
                c.p = r.begin + (line < count ? lines[line].start : static_cast<uint32_t>(r.end - r.begin));
            }
            if (!next(keyword)) return false;
            if (wanted >> keyword & 1) return true;
            skipLine();
        }
    }

    // The rest of the line after a token: at most 254 characters, up to and including its end.
    void skipLine()
    {
        if (!r.index) {
            skipRestOfLine(c);
            return;
        }
        sync();
        if (line >= r.index->lines) {
            c.p = r.end;
            return;
        }
        const uint64_t offset = static_cast<uint64_t>(c.p - r.begin);
        const uint64_t next = r.index->line[line + 1].start;
        c.p = r.begin + std::min<uint64_t>(offset + 254, next);
    }
};

// Frame tables of one model hold together at most this many entries plus 16 per byte of
// the file: far more than any scene animates, and a bound a few key lines cannot blow up.
constexpr int64_t baseFrameBudget = int64_t(1) << 22;

// ---------------------------------------------------------------------------------------------
// Counting pass: counts and header values, and where every block starts

// The header keyword's field, or null.
int32_t* headerField(AseModel& model, Keyword k)
{
    switch (k) {
    case KwMaterialCount: return &model.materialCount;
    case KwSceneFirstFrame: return &model.firstFrame;
    case KwSceneLastFrame: return &model.lastFrame;
    case KwSceneFrameSpeed: return &model.frameSpeed;
    case KwSceneTicksPerFrame: return &model.ticksPerFrame;
    default: return nullptr;
    }
}

struct SceneCounts {
    int32_t objects = 0, lights = 0, cameras = 0;
    void add(Keyword k)
    {
        if (k == KwGeomObject) ++objects;
        else if (k == KwLightObject) ++lights;
        else if (k == KwCameraObject) ++cameras;
    }
};

void noteBlockStart(Reader& r, Keyword k, const char* tokenEnd)
{
    switch (k) {
    case KwMaterial: r.starts.materials.push_back(tokenEnd); break;
    case KwGeomObject: r.starts.objects.push_back(tokenEnd); break;
    case KwLightObject: r.starts.lights.push_back(tokenEnd); break;
    case KwCameraObject: r.starts.cameras.push_back(tokenEnd); break;
    default: break;
    }
}

// Every token is looked at. The values read after the header keywords may end inside the next
// token (a number run into a keyword); the counting sees the rest of that token as its own,
// while the block starts come from the plain token sequence, as a scan from the top for the
// n-th block would see it.
void countTokens(Reader& r, SceneCounts& counts)
{
    Cursor scan{r.begin, r.end};
    const char* countedUpTo = r.begin;
    Token token;
    while (readToken(scan, token)) {
        const char* tokenEnd = token.p + token.n;
        Keyword k = classify(token);
        noteBlockStart(r, k, tokenEnd);
        if (tokenEnd <= countedUpTo) continue;
        if (token.p < countedUpTo) k = classify(Token{countedUpTo, static_cast<size_t>(tokenEnd - countedUpTo)});
        countedUpTo = tokenEnd;
        counts.add(k);
        if (int32_t* field = headerField(r.model, k)) {
            Cursor values{tokenEnd, r.end};
            readInt(values, true, *field);
            countedUpTo = values.p;
        }
    }
}

// Whether a token whose letters after the '*' begin with a and b could be a keyword the
// counting acts on: a block start, an object kind or a header value.
inline bool mayBeCounted(char a, char b)
{
    return (a == 'M' && b == 'A') || (a == 'G' && b == 'E') || (a == 'L' && b == 'I') ||
           (a == 'C' && b == 'A') || (a == 'S' && b == 'C');
}

// The same counting over the tokens that start with '*', the only ones it acts on. A value
// that ends inside a token leaves the rest of that token to be looked at as a token.
void countStarTokens(Reader& r, SceneCounts& counts)
{
    const char* countedUpTo = r.begin;
    const IndexedLine* line = r.index->line.get();
    const IndexedLine* lastLine = line + r.index->lines;
    for (const uint32_t offset : r.stars) {
        const char* start = r.begin + offset;
        // Most of these tokens open their line: the index has their end and keyword already.
        while (line < lastLine && line[1].start <= offset) ++line;
        const char* tokenEnd = nullptr;
        Keyword k = KwNone;
        if (line->tokenStart == offset) {
            tokenEnd = r.begin + line->tokenEnd;
            k = static_cast<Keyword>(line->keyword);
        } else {
            // Inside a line (a face's smoothing group and material id, mostly): only a token
            // that could be one of the counted keywords is classified.
            if (r.end - start >= 3 && !mayBeCounted(start[1], start[2])) continue;
            tokenEnd = tokenEndFrom(start + 1, r.end);
            k = classify(Token{start, static_cast<size_t>(tokenEnd - start)});
        }
        noteBlockStart(r, k, tokenEnd);
        if (start < countedUpTo) continue;
        counts.add(k);
        int32_t* field = headerField(r.model, k);
        const char* at = tokenEnd;
        while (field) {
            Cursor values{at, r.end};
            readInt(values, true, *field);
            countedUpTo = values.p;
            field = nullptr;
            if (values.p == r.end || isBlank(*values.p) || isBlank(values.p[-1])) break;
            const char* restEnd = values.p;
            while (restEnd < r.end && !isBlank(*restEnd)) ++restEnd;
            const Keyword rest = classify(Token{values.p, static_cast<size_t>(restEnd - values.p)});
            counts.add(rest);
            field = headerField(r.model, rest);
            at = restEnd;
            countedUpTo = restEnd;
        }
    }
}

void countScene(Reader& r)
{
    AseModel& model = r.model;
    model.objectCount = 0;
    model.materialCount = 0;
    model.lightCount = 0;
    model.objects.clear();
    model.materials.clear();
    model.lights.clear();
    SceneCounts counts;
    if (r.index) countStarTokens(r, counts);
    else countTokens(r, counts);
    model.objectCount = counts.objects;
    model.lightCount = counts.lights;
    model.cameraCount = counts.cameras;

    // The material table is sized by the last *MATERIAL_COUNT. A negative count holds no
    // table; a count far past the blocks present is held to what could ever be referenced
    // by a file of sane size, so a stray digit cannot ask for gigabytes.
    if (model.materialCount < 0) model.materialCount = 0;
    const int32_t materialLimit = std::max<int32_t>(static_cast<int32_t>(r.starts.materials.size()), 4096);
    if (model.materialCount > materialLimit) model.materialCount = materialLimit;

    model.objects.assign(static_cast<size_t>(model.objectCount), AseObject{});
    model.materials.assign(static_cast<size_t>(model.materialCount), AseMaterial{});
    model.lights.assign(static_cast<size_t>(model.lightCount), AseLight{});
    model.cameras.assign(static_cast<size_t>(model.cameraCount), AseCamera{});
}

// ---------------------------------------------------------------------------------------------
// Mesh-size pass: sizes, normals flag, material and name of every object

// What the mesh-size pass finds for one object, in the object's own defaults.
struct MeshSizes {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texVertexCount = 0;
    int32_t texFaceCount = 0;
    int32_t hasNormals = 0;
    int32_t materialRef = -1;
    char name[aseNameSize] = {};
};

// The walk of the mesh-size pass, one record per "*GEOMOBJECT" it meets. It needs no count of
// objects, so it runs beside the counting pass; records past the objects counted are dropped.
void walkMeshSizes(const Reader& r, std::vector<MeshSizes>& found)
{
    Walk w(r, r.begin);
    Cursor& c = w.c;
    MeshSizes scratch;  // takes the values met while no object is current
    Keyword k = KwNone;
    constexpr uint64_t wanted = uint64_t(1) << KwMeshNumVertex | uint64_t(1) << KwMeshNumFaces |
                                uint64_t(1) << KwMeshNumTVertex | uint64_t(1) << KwMeshNumTVFaces |
                                uint64_t(1) << KwMeshNormals | uint64_t(1) << KwMaterialRef |
                                uint64_t(1) << KwNodeName | uint64_t(1) << KwGeomObject;
    while (w.nextWanted(k, wanted)) {
        if (k == KwGeomObject) {
            found.emplace_back();
            continue;
        }
        MeshSizes& object = found.empty() ? scratch : found.back();
        switch (k) {
        case KwMeshNumVertex: readInt(c, false, object.vertexCount); break;
        case KwMeshNumFaces: readInt(c, false, object.faceCount); break;
        case KwMeshNumTVertex: readInt(c, false, object.texVertexCount); break;
        case KwMeshNumTVFaces: readInt(c, false, object.texFaceCount); break;
        case KwMeshNormals: object.hasNormals = 1; break;
        case KwMaterialRef: readInt(c, true, object.materialRef); break;
        case KwNodeName: readQuoted(c, object.name); break;
        default: w.skipLine(); break;
        }
    }
}

// Stores what the mesh-size walk found into the objects the counting pass allocated.
void countMeshes(Reader& r, const std::vector<MeshSizes>& found)
{
    AseModel& model = r.model;
    const size_t known = std::min(found.size(), model.objects.size());
    for (size_t i = 0; i < known; ++i) {
        AseObject& object = model.objects[i];
        const MeshSizes& sizes = found[i];
        object.vertexCount = sizes.vertexCount;
        object.faceCount = sizes.faceCount;
        object.texVertexCount = sizes.texVertexCount;
        object.texFaceCount = sizes.texFaceCount;
        object.hasNormals = sizes.hasNormals;
        object.materialRef = sizes.materialRef;
        std::memcpy(object.name, sizes.name, sizeof object.name);
    }

    // No file holds more vertices, faces and texture vertices, all objects together, than it
    // has bytes: each needs a line of its own. Counts past that (or below 0) are cut, and the
    // count always equals the size of its array.
    int64_t budget = static_cast<int64_t>(r.end - r.begin);
    auto bound = [&budget](int32_t& count) {
        if (count < 0) count = 0;
        if (count > budget) count = static_cast<int32_t>(budget);
        budget -= count;
    };
    for (AseObject& object : model.objects) {
        bound(object.vertexCount);
        bound(object.faceCount);
        bound(object.texVertexCount);
    }
}

// ---------------------------------------------------------------------------------------------
// Animation keys

bool isPositionKey(Keyword k) { return k == KwBezierPosKey || k == KwPosSample; }
bool isRotationKey(Keyword k) { return k == KwRotKey || k == KwTcbRotKey || k == KwRotSample; }

// One key line after its keyword: the time with "%i", then the values with the keyword's format.
void readKeyLine(Cursor& c, Keyword k, AnimKey& key)
{
    readInt(c, true, key.time);
    if (k == KwPosSample) {
        readTriple(c, key.value);
        return;
    }
    if (k == KwRotSample) {
        float v[4] = {0, 0, 0, 0};
        const int n = scanFloats(c, v, 4);  // "\t%f\t%f\t%f\t%f"
        for (int i = 0; i < n && i < 3; ++i) key.value[i] = v[i];
        if (n >= 4) key.params[3] = v[3];
        return;
    }
    float v[9] = {};
    int32_t flags = 0;
    // "\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%i": each conversion skips the blanks before it.
    int n = scanFloats(c, v, 9);
    if (n == 9 && scanInt(c, true, flags)) ++n;
    float* fields[9] = {&key.value[0], &key.value[1], &key.value[2], &key.params[3], &key.params[4],
                        &key.params[5], &key.params[0], &key.params[1], &key.params[2]};
    for (int i = 0; i < n && i < 9; ++i) *fields[i] = v[i];
    if (n >= 10) key.flags = flags;
}

// Reads a *TM_ANIMATION block, the cursor just past its keyword. The keys are counted from
// here to the next node keyword (or the end), then read back in file order: position keys
// first, then, after two more tokens, rotation keys.
void readAnimTrack(const Reader& r, Cursor& c, AnimTrack& track)
{
    int32_t positions = 0, rotations = 0;
    {
        Cursor count = c;
        Token token;
        if (readToken(count, token) && !endsNode(classify(token))) {
            if (r.index) {
                // Only tokens that start with '*' can be keys or end the node.
                const uint32_t from = static_cast<uint32_t>(count.p - r.begin);
                for (auto it = std::lower_bound(r.stars.begin(), r.stars.end(), from); it != r.stars.end(); ++it) {
                    const char* start = r.begin + *it;
                    const char* stop = tokenEndFrom(start + 1, r.end);
                    const Keyword k = classify(Token{start, static_cast<size_t>(stop - start)});
                    if (isPositionKey(k)) ++positions;
                    else if (isRotationKey(k)) ++rotations;
                    else if (endsNode(k)) break;
                }
            } else {
                while (readToken(count, token)) {
                    const Keyword k = classify(token);
                    if (isPositionKey(k)) ++positions;
                    else if (isRotationKey(k)) ++rotations;
                    else if (endsNode(k)) break;
                }
            }
        }
    }
    track.posKeyCount = positions;
    track.rotKeyCount = rotations;
    track.posKeys.assign(static_cast<size_t>(positions), AnimKey{});
    track.rotKeys.assign(static_cast<size_t>(rotations), AnimKey{});

    Token token;
    readToken(c, token);
    readToken(c, token);
    for (int32_t i = 0; i < positions && readToken(c, token);) {
        const Keyword k = classify(token);
        if (!isPositionKey(k)) continue;
        readKeyLine(c, k, track.posKeys[static_cast<size_t>(i)]);
        ++i;
    }
    readToken(c, token);
    readToken(c, token);
    for (int32_t i = 0; i < rotations && readToken(c, token);) {
        const Keyword k = classify(token);
        if (!isRotationKey(k)) continue;
        readKeyLine(c, k, track.rotKeys[static_cast<size_t>(i)]);
        ++i;
    }
}

// ---------------------------------------------------------------------------------------------
// Block passes

// Where the n-th block (from 1) of a kind begins; false when the file has fewer.
bool blockStart(const std::vector<const char*>& starts, int n, const char*& from)
{
    if (n < 1 || static_cast<size_t>(n) > starts.size()) return false;
    from = starts[static_cast<size_t>(n - 1)];
    return true;
}

void readMaterial(Reader& r, AseMaterial& material, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.materials, n, from)) return;
    Walk w(r, from);
    Cursor& c = w.c;
    Keyword k = KwNone;
    // The last block runs to the end of the file, so the lines of every other keyword are
    // stepped over as a whole wherever the index allows it.
    constexpr uint64_t wanted =
        uint64_t(1) << KwMaterial | uint64_t(1) << KwMaterialName | uint64_t(1) << KwMaterialClass |
        uint64_t(1) << KwMaterialAmbient | uint64_t(1) << KwMaterialDiffuse | uint64_t(1) << KwMaterialSpecular |
        uint64_t(1) << KwMaterialShine | uint64_t(1) << KwMaterialShineStrength |
        uint64_t(1) << KwMaterialTransparency | uint64_t(1) << KwMaterialWireSize |
        uint64_t(1) << KwMaterialSelfIllum | uint64_t(1) << KwBitmap | uint64_t(1) << KwUTiling |
        uint64_t(1) << KwVTiling | uint64_t(1) << KwUOffset | uint64_t(1) << KwVOffset;
    while (w.nextWanted(k, wanted)) {
        if (k == KwMaterial) return;
        switch (k) {
        case KwMaterialName: readQuoted(c, material.name); break;
        case KwMaterialClass: readQuoted(c, material.className); break;
        case KwMaterialAmbient: readTriple(c, material.ambient); break;
        case KwMaterialDiffuse: readTriple(c, material.diffuse); break;
        case KwMaterialSpecular: readTriple(c, material.specular); break;
        case KwMaterialShine: readFloat(c, material.shine); break;
        case KwMaterialShineStrength: readFloat(c, material.shineStrength); break;
        case KwMaterialTransparency: readFloat(c, material.transparency); break;
        case KwMaterialWireSize: readFloat(c, material.wireSize); break;
        case KwMaterialSelfIllum: readFloat(c, material.selfIllum); break;
        case KwBitmap:
            readQuoted(c, material.bitmap);
            material.texture = nextMaterialTexture();
            material.hasBitmap = 1;
            break;
        case KwUTiling: readFloat(c, material.uTiling); break;
        case KwVTiling: readFloat(c, material.vTiling); break;
        case KwUOffset: readFloat(c, material.uOffset); break;
        case KwVOffset: readFloat(c, material.vOffset); break;
        default: w.skipLine(); break;
        }
    }
}

void readGeometryObject(const Reader& r, AseObject& object, const AseMaterial* material, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.objects, n, from)) return;
    Walk w(r, from);
    Cursor& c = w.c;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        int32_t index = 0;
        switch (k) {
        case KwMeshVertex: {
            const bool indexRead = scanInt(c, false, index);
            readRendererTriple(c, entryAt(object.vertices, indexRead, index));
            break;
        }
        case KwMeshVertexNormal: {
            const bool indexRead = scanInt(c, false, index);
            readRendererTriple(c, entryAt(object.vertexNormals, indexRead, index));
            break;
        }
        case KwMeshFaceNormal: {
            const bool indexRead = scanInt(c, false, index);
            AseFace* face = entryAt(object.faces, indexRead, index);
            readRendererTriple(c, face ? &face->normal : nullptr);
            break;
        }
        case KwMeshTVert: {
            const bool indexRead = scanInt(c, false, index);
            float v[2] = {0, 0};
            const int got = scanFloats(c, v, 2);  // "%f %f"
            TexVertex* vertex = entryAt(object.texVertices, indexRead, index);
            if (!vertex) break;
            // Without a material the coordinates are kept as written.
            const float uScale = material ? material->uTiling : 1.0f;
            const float vScale = material ? material->vTiling : 1.0f;
            if (got >= 1) vertex->u = v[0] * uScale;
            if (got >= 2) vertex->v = v[1] * vScale;
            break;
        }
        case KwMeshFace: {
            const bool indexRead = scanIndexColon(c, index);
            int32_t values[8] = {};  // A, B, C, AB, BC, CA, smoothing, material
            const int got = scanFaceFields(c, values);
            AseFace* face = entryAt(object.faces, indexRead, index);
            if (!face) break;
            for (int i = 0; i < got && i < 3; ++i) face->v[i] = values[i];
            if (got >= 8) face->materialId = values[7];
            break;
        }
        case KwMeshTFace: {
            const bool indexRead = scanIndexColon(c, index);
            int32_t t[3] = {0, 0, 0};
            int got = 0;
            while (got < 3 && scanInt(c, false, t[got])) ++got;  // "%d %d %d"
            AseFace* face = entryAt(object.faces, indexRead, index);
            if (!face) break;
            for (int i = 0; i < got; ++i) face->t[i] = t[i];
            break;
        }
        case KwTmAnimation: readAnimTrack(r, c, object.anim); break;
        case KwTmPos: readTriple(c, object.pivot); break;
        case KwWireframeColor: readTriple(c, object.wireColor); break;
        default: w.skipLine(); break;
        }
    }
}

void readLight(Reader& r, AseLight& light, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.lights, n, from)) return;
    Walk w(r, from);
    Cursor& c = w.c;
    int positions = 0;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        switch (k) {
        case KwTmPos:
            if (positions++ == 0) {
                readTriple(c, light.position);
            } else {
                readTriple(c, light.target);
                light.hasTarget = 1;
            }
            break;
        case KwLightColor: readTriple(c, light.color); break;
        case KwLightIntens: readFloat(c, light.intensity); break;
        case KwLightFalloff: readFloat(c, light.falloff); break;
        case KwTmAnimation: readAnimTrack(r, c, light.anim); break;
        case KwNodeName: readQuoted(c, light.name); break;
        default: w.skipLine(); break;
        }
    }
}

void readCamera(Reader& r, AseCamera& camera, int n)
{
    const char* from = nullptr;
    if (!blockStart(r.starts.cameras, n, from)) return;
    Walk w(r, from);
    Cursor& c = w.c;
    int positions = 0;
    Keyword k = KwNone;
    while (w.next(k)) {
        if (endsNode(k)) return;
        switch (k) {
        case KwTmPos: readTriple(c, positions++ == 0 ? camera.position : camera.target); break;
        case KwTmRotAxis: readTriple(c, camera.rotAxis); break;
        case KwCameraNear:
            readFloat(c, camera.nearPlane);
            if (camera.nearPlane == 0.0f) camera.nearPlane = 0.001f;
            break;
        case KwCameraFar: readFloat(c, camera.farPlane); break;
        case KwCameraFov: readFloat(c, camera.fov); break;
        case KwCameraTDist: readFloat(c, camera.targetDistance); break;
        case KwNodeName: readQuoted(c, camera.name); break;
        case KwTmAnimation: readAnimTrack(r, c, camera.anim); break;
        default: w.skipLine(); break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Frame tables

// The frame of a key time: the integer division truncating toward zero.
inline int64_t frameOf(int32_t time, int32_t ticksPerFrame)
{
    return static_cast<int64_t>(time) / static_cast<int64_t>(ticksPerFrame);
}

// Walks the segments between consecutive keys, writing one entry per frame; values has four
// reals per key. Tracks the walk cannot follow hold the first key's value throughout.
void walkFrames(const std::vector<AnimKey>& keys, const std::array<float, 4>* values, int32_t ticksPerFrame,
                int64_t& budget, std::vector<std::array<float, 4>>& out)
{
    const size_t count = keys.size();
    int64_t entries = 0;
    if (ticksPerFrame != 0)
        entries = (static_cast<int64_t>(keys[count - 1].time) - static_cast<int64_t>(keys[0].time)) /
                  static_cast<int64_t>(ticksPerFrame);
    entries = std::clamp<int64_t>(entries, 0, std::max<int64_t>(budget, 0));
    budget -= entries;
    out.assign(static_cast<size_t>(entries), std::array<float, 4>{});

    bool walkable = ticksPerFrame > 0 && count >= 2 && keys[0].time == 0;
    for (size_t i = 1; walkable && i < count; ++i)
        walkable = frameOf(keys[i].time, ticksPerFrame) > frameOf(keys[i - 1].time, ticksPerFrame);
    if (!walkable) {
        for (auto& entry : out)
            for (int a = 0; a < 4; ++a) entry[static_cast<size_t>(a)] = values[0][static_cast<size_t>(a)];
        return;
    }
    size_t segment = 1;
    int64_t fs = frameOf(keys[0].time, ticksPerFrame);
    int64_t fe = frameOf(keys[1].time, ticksPerFrame);
    int64_t j = 0;
    for (int64_t k = 0; k < entries; ++k) {
        const float* prev = values[segment - 1].data();
        const float* next = values[segment].data();
        auto& entry = out[static_cast<size_t>(k)];
        for (int a = 0; a < 4; ++a) {
            if (j == 0) {
                entry[static_cast<size_t>(a)] = prev[a];
            } else {
                float step = next[a] - prev[a];
                step = step / static_cast<float>(fe - fs);
                step = step * static_cast<float>(j);
                entry[static_cast<size_t>(a)] = prev[a] + step;
            }
        }
        if (k == fe - 1) {
            fs = fe;
            ++segment;
            j = 0;
            if (segment >= count) break;
            fe = frameOf(keys[segment].time, ticksPerFrame);
        } else {
            ++j;
        }
    }
}

constexpr float degreesPerPi = 180.0f;
constexpr float singlePi = 3.1415927f;

void buildTables(AnimTrack& track, int32_t ticksPerFrame, int64_t& budget)
{
    std::vector<std::array<float, 4>> walked;
    if (track.posKeyCount != 0 && !track.posKeys.empty()) {
        std::vector<std::array<float, 4>> values(track.posKeys.size());
        for (size_t i = 0; i < track.posKeys.size(); ++i) {
            for (int a = 0; a < 3; ++a) values[i][a] = track.posKeys[i].value[a];
            values[i][3] = 0.0f;
        }
        walkFrames(track.posKeys, values.data(), ticksPerFrame, budget, walked);
        track.posFrames.resize(walked.size());
        for (size_t k = 0; k < walked.size(); ++k)
            track.posFrames[k] = Vector3{walked[k][0], walked[k][1], walked[k][2]};
    }
    if (track.rotKeyCount != 0 && !track.rotKeys.empty()) {
        std::vector<std::array<float, 4>> values(track.rotKeys.size());
        for (size_t i = 0; i < track.rotKeys.size(); ++i) {
            for (int a = 0; a < 3; ++a) values[i][a] = track.rotKeys[i].value[a];
            values[i][3] = track.rotKeys[i].params[3];
        }
        walkFrames(track.rotKeys, values.data(), ticksPerFrame, budget, walked);
        track.rotFrames.resize(walked.size());
        for (size_t k = 0; k < walked.size(); ++k)
            track.rotFrames[k] = AxisAngle{walked[k][0], walked[k][1], walked[k][2],
                                           walked[k][3] * degreesPerPi / singlePi};
    }
}

template <class Node>
AnimTrack* trackNamed(std::vector<Node>& nodes, int32_t count, const char* name)
{
    const size_t limit = std::min(nodes.size(), static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < limit; ++i)
        if (std::strncmp(nodes[i].name, name, aseNameSize) == 0) return &nodes[i].anim;
    return nullptr;
}

void resampleNode(AseModel& model, const char* name, int kind, int64_t& budget)
{
    AnimTrack* track = nullptr;
    if (kind == AseNodeCamera) track = trackNamed(model.cameras, model.cameraCount, name);
    else if (kind == AseNodeObject) track = trackNamed(model.objects, model.objectCount, name);
    else if (kind == AseNodeLight) track = trackNamed(model.lights, model.lightCount, name);
    if (track) buildTables(*track, model.ticksPerFrame, budget);
}

// Threads for the line index and the geometry objects: as asked, or for a file large enough
// to gain from them, as many as the machine runs at once (a few at most).
int readerThreads(const AseReadOptions& options, size_t size)
{
    if (options.threads > 0) return std::min(options.threads, 64);
    constexpr size_t worthThreads = size_t(2) << 20;
    return size >= worthThreads ? std::min(hardwareThreads(), 4) : 1;
}

}  // namespace

void resampleTracks(AseModel& model, const char* name, int kind)
{
    int64_t budget = baseFrameBudget;
    resampleNode(model, name, kind, budget);
}

int loadAseModelWith(const char* text, size_t size, AseModel& model, const AseReadOptions& options)
{
    static const char empty[1] = {0};
    if (!text) {
        text = empty;
        size = 0;
    }
    const int threads = readerThreads(options, size);
    LineIndex index;
    const bool indexed = options.lineIndex && size < (uint64_t(1) << 32) - 256;
    Reader r{text, text + size, model, {}, baseFrameBudget + 16 * static_cast<int64_t>(size), nullptr, {}};
    if (indexed) {
        buildLineIndex(text, size, index, r.stars, threads);
        r.index = &index;
    }
    // The counting pass and the mesh-size walk read the text side by side; neither needs the
    // other's results until both are done.
    std::vector<MeshSizes> found;
    struct Counting {
        Reader* reader;
        std::vector<MeshSizes>* found;
    } counting{&r, &found};
    WorkerJob counts;
    counts.pieces = 2;
    counts.context = &counting;
    counts.work = [](void* context, int32_t piece) {
        Counting& work = *static_cast<Counting*>(context);
        if (piece == 0) countScene(*work.reader);
        else walkMeshSizes(*work.reader, *work.found);
    };
    runWorkerJob(counts, threads);
    countMeshes(r, found);
    for (int32_t i = 0; i < model.materialCount; ++i) {
        AseMaterial& material = model.materials[static_cast<size_t>(i)];
        readMaterial(r, material, i + 1);
        if (options.loadTextures) loadMaterialTexture(material, options.modelPath);
    }
    // Objects are read side by side: each writes only its own record and reads the text, the
    // index and the materials. Frame tables follow in file order, as each node's own would.
    WorkerJob job;
    job.pieces = model.objectCount;
    job.context = &r;
    job.work = [](void* context, int32_t i) {
        const Reader& reader = *static_cast<const Reader*>(context);
        AseModel& m = reader.model;
        AseObject& object = m.objects[static_cast<size_t>(i)];
        allocateObjectArrays(object);
        const int32_t ref = object.materialRef;
        const AseMaterial* material = ref >= 0 && ref < m.materialCount ? &m.materials[static_cast<size_t>(ref)] : nullptr;
        readGeometryObject(reader, object, material, i + 1);
    };
    runWorkerJob(job, threads);
    for (int32_t i = 0; i < model.objectCount; ++i)
        resampleNode(model, model.objects[static_cast<size_t>(i)].name, AseNodeObject, r.frameBudget);
    for (int32_t i = 0; i < model.lightCount; ++i) {
        readLight(r, model.lights[static_cast<size_t>(i)], i + 1);
        resampleNode(model, model.lights[static_cast<size_t>(i)].name, AseNodeLight, r.frameBudget);
    }
    for (int32_t i = 0; i < model.cameraCount; ++i) {
        readCamera(r, model.cameras[static_cast<size_t>(i)], i + 1);
        resampleNode(model, model.cameras[static_cast<size_t>(i)].name, AseNodeCamera, r.frameBudget);
    }
    return 1;
}

int loadAseModelFromText(const char* text, size_t size, AseModel& model, const char* modelPath,
                         bool loadTextures)
{
    AseReadOptions options;
    options.modelPath = modelPath;
    options.loadTextures = loadTextures;
    return loadAseModelWith(text, size, model, options);
}

int loadAseModel(const char* path, AseModel& model)
{
    // The whole file in memory once: mapped where it can be, read into a buffer otherwise.
    MappedFile file;
    if (!openMappedFile(resolvePath(path).c_str(), file)) {
        std::printf("# %s not found!\n", path);
        std::fflush(stdout);
        noteMissingFile();
        return 0;
    }
    AseReadOptions options;
    options.modelPath = path;
    const int result = loadAseModelWith(file.data, file.size, model, options);
    closeMappedFile(file);
    return result;
}
