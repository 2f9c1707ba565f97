// Number text of the scene file, byte-identical to printf in the C locale but without
// going through printf: "%g" is to_chars' general format with precision 6, "%16.16f"
// its fixed format with precision 16, right-aligned in 16 characters. The write_ forms
// put the text at out, which must have room for the longest text (kMaxNumberText), and
// return its end, so that a writer can format straight into its output buffer.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace tav_format {

// A double printed with 16 decimals needs at most 309 + 1 + 16 digits and a sign.
constexpr size_t kMaxNumberText = 352;

inline char* write_g(char* out, double value) {
    // Animation matrices are mostly zeros and ones: spare them the general conversion.
    if (value == 0.0) {
        if (std::signbit(value)) *out++ = '-';
        *out++ = '0';
        return out;
    }
    if (value == 1.0 || value == -1.0) {
        if (value < 0) *out++ = '-';
        *out++ = '1';
        return out;
    }
    return std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, 6).ptr;
}

inline char* write_fixed16(char* out, double value) {
    char* end = std::to_chars(out, out + kMaxNumberText, value, std::chars_format::fixed, 16).ptr;
    // Only "inf" and "nan" are shorter than the field width of 16.
    const size_t length = end - out;
    if (length >= 16) return end;
    std::memmove(out + 16 - length, out, length);
    std::memset(out, ' ', 16 - length);
    return out + 16;
}

inline char* write_int(char* out, int64_t value) {
    return std::to_chars(out, out + kMaxNumberText, value).ptr;
}

inline void append_g(std::string& out, double value) {
    char buffer[kMaxNumberText];
    out.append(buffer, write_g(buffer, value));
}

}  // namespace tav_format
