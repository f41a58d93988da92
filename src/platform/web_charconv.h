// Floating-point std::from_chars for the browser build, whose C++ library (emscripten 3.1.6's
// libc++) has only the integer forms. The web build includes this header ahead of every source
// (as it does web_gl.h); with a library that has them (__cpp_lib_to_chars) it adds nothing.
//
// The value is read with strtof from a copy of the range, so that the number ends where the
// range does; a hexadecimal mantissa is read with the "0x" strtof needs, which from_chars's
// input never carries. Like from_chars, an out-of-range value reports
// std::errc::result_out_of_range and leaves value as it was.
#pragma once

#include <charconv>

#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cstdlib>
#include <string>

namespace std {
inline from_chars_result from_chars(const char* first, const char* last, float& value,
                                    chars_format format = chars_format::general)
{
    if (first >= last || *first == '+' || *first == ' ' || *first == '\t' || *first == '\n')
        return {first, errc::invalid_argument};
    const bool hex = format == chars_format::hex;
    std::string text = hex ? std::string("0x") : std::string();
    if (hex && *first == '-') text = "-0x", ++first;
    const size_t prefix = text.size();
    text.append(first, last);
    char* end = nullptr;
    errno = 0;
    const float parsed = std::strtof(text.c_str(), &end);
    const size_t used = static_cast<size_t>(end - text.c_str());
    if (used <= prefix) return {first, errc::invalid_argument};
    const char* stop = first + (used - prefix);
    if (errno == ERANGE) return {stop, errc::result_out_of_range};
    value = parsed;
    return {stop, errc{}};
}
}  // namespace std
#endif
