// A small JSON writer for the inspector's summaries: objects, arrays, names and numbers,
// indented two spaces, always valid JSON (reals in their shortest exact form, non-finite ones
// as null; bytes past ASCII are read as Windows-1252 text, the exporters' code page).
#pragma once

#include <string>

struct JsonWriter {
    std::string out;
    int depth = 0;
    bool first = true;  // no member written yet at this depth
};

void jsonBeginObject(JsonWriter& json, const char* key = nullptr);
void jsonEndObject(JsonWriter& json);
void jsonBeginArray(JsonWriter& json, const char* key = nullptr);
void jsonEndArray(JsonWriter& json);
void jsonString(JsonWriter& json, const char* key, const char* value);
void jsonInt(JsonWriter& json, const char* key, long long value);
void jsonReal(JsonWriter& json, const char* key, float value);
void jsonBool(JsonWriter& json, const char* key, bool value);
void jsonNull(JsonWriter& json, const char* key);
// An array of count reals on one line.
void jsonReals(JsonWriter& json, const char* key, const float* values, int count);
