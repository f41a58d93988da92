// JSON writer of the inspector.
#include "json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
// Windows-1252 code points of bytes 0x80 to 0x9F (0 where the code page has none).
const unsigned short cp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

void quoted(std::string& out, const char* text)
{
    out += '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const unsigned char c = *p;
        char escape[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            unsigned code = c;
            if (c >= 0x80 && c < 0xA0) code = cp1252High[c - 0x80] ? cp1252High[c - 0x80] : 0xFFFD;
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void member(JsonWriter& json, const char* key)
{
    if (!json.first) json.out += ',';
    json.first = false;
    if (json.depth > 0) {
        json.out += '\n';
        json.out.append(static_cast<size_t>(json.depth) * 2, ' ');
    }
    if (key) {
        quoted(json.out, key);
        json.out += ": ";
    }
}

void real(std::string& out, float value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void close(JsonWriter& json, char bracket)
{
    --json.depth;
    if (!json.first) {
        json.out += '\n';
        json.out.append(static_cast<size_t>(json.depth) * 2, ' ');
    }
    json.out += bracket;
    json.first = false;
}
}  // namespace

void jsonBeginObject(JsonWriter& json, const char* key)
{
    member(json, key);
    json.out += '{';
    ++json.depth;
    json.first = true;
}

void jsonEndObject(JsonWriter& json) { close(json, '}'); }

void jsonBeginArray(JsonWriter& json, const char* key)
{
    member(json, key);
    json.out += '[';
    ++json.depth;
    json.first = true;
}

void jsonEndArray(JsonWriter& json) { close(json, ']'); }

void jsonString(JsonWriter& json, const char* key, const char* value)
{
    member(json, key);
    quoted(json.out, value);
}

void jsonInt(JsonWriter& json, const char* key, long long value)
{
    member(json, key);
    json.out += std::to_string(value);
}

void jsonReal(JsonWriter& json, const char* key, float value)
{
    member(json, key);
    real(json.out, value);
}

void jsonBool(JsonWriter& json, const char* key, bool value)
{
    member(json, key);
    json.out += value ? "true" : "false";
}

void jsonNull(JsonWriter& json, const char* key)
{
    member(json, key);
    json.out += "null";
}

void jsonReals(JsonWriter& json, const char* key, const float* values, int count)
{
    member(json, key);
    json.out += '[';
    for (int i = 0; i < count; ++i) {
        if (i) json.out += ", ";
        real(json.out, values[i]);
    }
    json.out += ']';
}
