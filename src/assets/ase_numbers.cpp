// ASE numbers: the general scanf conversions, the face line and quoted names. The fast paths
// for the exporters' plain decimals are inline in the header; this is everything else.
#include "assets/ase_numbers.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

namespace ase {

namespace {
inline bool isDigitIn(char c, int base)
{
    if (base == 16) return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
    if (base == 8) return c >= '0' && c <= '7';
    return c >= '0' && c <= '9';
}

inline int digitValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

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

}  // namespace

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

}  // namespace ase
