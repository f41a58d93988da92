// ASE numbers: scanf's "%d", "%i" and "%f" over text in memory, and the value formats built
// from them (single reals, triples, face lines, key lines' index and colon, quoted names).
//
// Each conversion takes exactly the characters scanf would take and stores the value scanf
// would store, so a model reads the same as with the stream reader the format was made for.
// The exporters' plain decimals ("-12.3456", "42") take a fast path that stays inlined in the
// passes; everything else (signs alone, hexadecimal, exponents, "inf", overlong digit runs)
// goes through the general conversions.
//
//   int32_t index = 0;
//   if (scanInt(c, false, index)) readTriple(c, values);   // "%d" then "%f %f %f"
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/ase_model.h"
#include "assets/ase_tokens.h"

namespace ase {

// "%d" (autoBase false) or "%i" (autoBase true): skips blanks, takes a sign and digits (with
// "%i", "0x" for hexadecimal and a leading 0 for octal). The value is converted as a 64-bit
// long, saturating, and stored truncated to 32 bits, as glibc's scanf stores it. A sign or
// "0x" not followed by a digit is consumed; the sign alone is a failed conversion.
bool scanIntGeneral(Cursor& c, bool autoBase, int32_t& out);

// "%f": skips blanks and takes an optional sign, then "inf", "infinity", "nan", a hexadecimal
// "0x" real or a decimal real with optional exponent. As glibc does, an "e" (or "p") with no
// exponent digits after it is consumed and the mantissa's value stored; a sign, point or "0x"
// with no digits is consumed and the conversion fails.
bool scanFloatGeneral(Cursor& c, float& out);

constexpr float powersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

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
int scanFaceFields(Cursor& c, int32_t* values);

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
void readQuoted(Cursor& c, char (&dest)[aseNameSize]);

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

}  // namespace ase
