// Number text of the scene file, byte-identical to printf in the C locale but without
// going through printf: "%g" is to_chars' general format with precision 6, "%16.16f"
// its fixed format with precision 16, right-aligned in 16 characters.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tav_format {

inline void append_g(std::string& out, double value) {
    // Animation matrices are mostly zeros and ones: spare them the general conversion.
    if (value == 0.0) {
        out += std::signbit(value) ? "-0" : "0";
        return;
    }
    if (value == 1.0 || value == -1.0) {
        out += value > 0 ? "1" : "-1";
        return;
    }
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::general, 6);
    out.append(buffer, result.ptr);
}

inline void append_fixed16(std::string& out, double value) {
    // A double printed with 16 decimals needs at most 309 + 1 + 16 digits and a sign.
    char buffer[352];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                std::chars_format::fixed, 16);
    // Only "inf" and "nan" are shorter than the field width of 16.
    size_t length = result.ptr - buffer;
    if (length < 16) out.append(16 - length, ' ');
    out.append(buffer, length);
}

inline void append_int(std::string& out, int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace tav_format
