// ASE tokens and keywords: how the reader cuts text into the runs of non-blank characters that
// scanf's "%s" would give, and which of the format's keywords a token is.
//
// Every pass of the reader looks at tokens, so the two costs here are kept small: a token's
// end is found sixteen characters at a time, and a token is matched against the keywords by a
// perfect hash of its length and its first and last eight letters, with one comparison.
//
//   Cursor c{text, text + size};
//   Token t;
//   while (readToken(c, t))
//       if (classify(t) == KwGeomObject) ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The fuzz targets build the scanner (tokens, keywords, the line index and its walk, the
// counting loops) without coverage tracing (ASE_SCANNER_UNTRACED): the fuzzer's comparison of
// indexed and character-by-character reading checks them on every input, while tracing each
// of their comparisons would cost most of every run. The value readers stay traced.
#if defined(ASE_SCANNER_UNTRACED) && defined(__clang__)
#define ASE_SCANNER [[clang::no_sanitize("coverage")]]
#else
#define ASE_SCANNER
#endif

namespace ase {

// The blanks of the C locale's isspace: they separate tokens, and a blank in a format skips
// any run of them, line ends included. Tab, line feed, vertical tab, form feed, carriage
// return and space, as bits of one word.
ASE_SCANNER inline bool isBlank(char c)
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

ASE_SCANNER inline void skipBlanks(Cursor& c)
{
    while (c.p < c.end && isBlank(*c.p)) ++c.p;
}

// The end of the run of non-blank characters at p, sixteen at a time where there are as many.
ASE_SCANNER inline const char* tokenEndFrom(const char* p, const char* end)
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
ASE_SCANNER inline bool readToken(Cursor& c, Token& token)
{
    skipBlanks(c);
    if (c.p == c.end) return false;
    const char* start = c.p;
    c.p = tokenEndFrom(c.p, c.end);
    token.p = start;
    token.n = static_cast<size_t>(c.p - start);
    return true;
}

// How far an unknown token's line skip reaches: what fgets into a 255-character buffer reads.
constexpr size_t lineSkip = 254;

// The rest of a line: at most lineSkip characters, up to and including the line end.
ASE_SCANNER inline void skipRestOfLine(Cursor& c)
{
    const size_t left = static_cast<size_t>(c.end - c.p);
    const size_t span = left < lineSkip ? left : lineSkip;
    const void* lineEnd = std::memchr(c.p, '\n', span);
    c.p = lineEnd ? static_cast<const char*>(lineEnd) + 1 : c.p + span;
}

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

// A set of keywords as one word, for the passes that step over every line but a few.
constexpr uint64_t keywordBit(Keyword k) { return uint64_t(1) << k; }

struct KeywordName {
    const char* text;
    Keyword keyword;
};

// The letters after the leading '*': the first eight (fewer, zero-filled, for a short token)
// and, for a token of nine characters or more, the last eight.
struct KeywordWords {
    uint64_t head;
    uint64_t tail;
};

ASE_SCANNER inline uint64_t loadUpTo8(const char* p, size_t n)
{
    uint64_t word = 0;
    if (n >= 8) {
        std::memcpy(&word, p, 8);
        return word;
    }
    for (size_t i = 0; i < n; ++i) word |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return word;
}

ASE_SCANNER inline KeywordWords keywordWords(const char* p, size_t n)
{
    return {loadUpTo8(p + 1, n - 1), n >= 9 ? loadUpTo8(p + n - 8, 8) : 0};
}

ASE_SCANNER inline uint32_t keywordHash(const KeywordWords& words, size_t n, uint64_t seed)
{
    const uint64_t mixed = (words.head * 0x9E3779B97F4A7C15ull) ^ (words.tail * 0xC2B2AE3D27D4EB4Full) ^ n;
    return static_cast<uint32_t>((mixed * seed) >> 54);
}

constexpr size_t keywordCount = static_cast<size_t>(KwCount) - 1;
constexpr size_t longestKeyword = 32;
extern const KeywordName keywordNames[keywordCount];

// Keywords by the hash above; built once, with a seed that gives every keyword a slot of its own.
struct KeywordTable {
    static constexpr size_t slots = 1024;
    uint64_t seed = 0;
    bool hashed = false;  // false: no seed tried spreads them, compare with every keyword
    int8_t slot[slots];
    uint8_t length[keywordCount];
    KeywordWords words[keywordCount];
    KeywordTable();
};
extern const KeywordTable keywordTable;

ASE_SCANNER inline bool sameBytes(const char* a, const char* b, size_t n)
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
ASE_SCANNER inline Keyword classify(const Token& token)
{
    if (token.n < 2 || token.n > longestKeyword || token.p[0] != '*') return KwNone;
    if (!keywordTable.hashed) {
        for (size_t i = 0; i < keywordCount; ++i)
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

// The keywords that end a node block (and the key scans of an animation block).
inline bool endsNode(Keyword k)
{
    return k == KwGeomObject || k == KwLightObject || k == KwCameraObject || k == KwShapeObject;
}

inline bool isPositionKey(Keyword k) { return k == KwBezierPosKey || k == KwPosSample; }
inline bool isRotationKey(Keyword k) { return k == KwRotKey || k == KwTcbRotKey || k == KwRotSample; }

}  // namespace ase
