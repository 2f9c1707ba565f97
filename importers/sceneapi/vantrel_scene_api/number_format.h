// Number text of the scene file, byte-identical to printf in the C locale but without
// going through printf: "%g" is to_chars' general format with precision 6 (most values
// take a shorter road, below), "%16.16f" its fixed format with precision 16,
// right-aligned in 16 characters. The write_ forms put the text at out, which must have
// room for the longest text (kMaxNumberText), and return its end, so that a writer can
// format straight into its output buffer; bytes past the end, within that room, may
// change.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace tav_format {

// A double printed with 16 decimals needs at most 309 + 1 + 16 digits and a sign.
constexpr size_t kMaxNumberText = 352;

namespace detail {

// Powers of ten a double holds exactly: scaling by one of them rounds only once.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;

// A scaled value below 2^20 is within half an ulp (2^-34) of the exact product; past
// this distance from a half, rounding it gives the digits the exact value would.
constexpr double kRoundingMargin = 0x1p-30;

struct SixDigits {
    int32_t digits;    // 100000 to 999999
    int32_t exponent;  // decimal exponent of the first digit
};

// The magnitude rounded to six significant digits, when one correctly rounded scaling
// by an exact power of ten decides them; false for zero, subnormals, inf, nan,
// magnitudes beyond the exact powers and values too close to a tie.
inline bool six_digits(double magnitude, SixDigits& result) {
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7ff;
    if (biased == 0 || biased == 0x7ff) return false;
    // floor(log10(2^e)): the magnitude lies in [10^exponent, 20 * 10^exponent).
    int exponent = ((biased - 1023) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int scale = 5 - exponent;
        if (scale < -kLargestExactPower || scale > kLargestExactPower) return false;
        const double scaled = scale >= 0 ? magnitude * kExactPowersOfTen[scale]
                                         : magnitude / kExactPowersOfTen[-scale];
        if (scaled >= 1e6) {
            ++exponent;
            continue;
        }
        const int32_t whole = static_cast<int32_t>(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) <= kRoundingMargin) return false;
        result.digits = whole + (fraction > 0.5);
        result.exponent = exponent;
        if (result.digits == 1000000) {
            result.digits = 100000;
            ++result.exponent;
        }
        return true;
    }
    return false;
}

// Texts of 0 to 99.
constexpr char kDigitPairs[] =
    "0001020304050607080910111213141516171819"
    "2021222324252627282930313233343536373839"
    "4041424344454647484950515253545556575859"
    "6061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Text of 0 to 99 as the two bytes of a little-endian word.
inline uint64_t digit_pair(uint64_t value) {
    uint16_t pair;
    std::memcpy(&pair, kDigitPairs + 2 * value, sizeof pair);
    return pair;
}

inline void store_word(char* out, uint64_t word) { std::memcpy(out, &word, sizeof word); }

// "%g" text of six rounded digits: plain decimals for exponents -4 to 5, else the
// exponent form, trailing zeros dropped either way. The digits live in one register,
// digit i in byte i, and are stored as whole words with the end moved back over what is
// dropped, so up to 16 bytes past out may change. The exponents the scaling reaches have
// two digits.
inline char* write_six_digits(char* out, bool negative, SixDigits six) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "digit i is byte i of the word");
    // Pairs from the top by fixed point: with ceil(2^32 / 10^4) the integer part is the
    // first pair and each step times 100 brings the next, exact for all values below 10^6.
    uint64_t fixed = six.digits * uint64_t{429497};
    uint64_t digits = digit_pair(fixed >> 32);
    fixed = (fixed & 0xffffffff) * 100;
    digits |= digit_pair(fixed >> 32) << 16;
    fixed = (fixed & 0xffffffff) * 100;
    digits |= digit_pair(fixed >> 32) << 32;
    // The highest byte that is not '0' is the last digit kept; the first is never '0'.
    const int last = (63 - __builtin_clzll(digits ^ 0x303030303030)) / 8;
    if (negative) *out++ = '-';
    const int exponent = six.exponent;
    if (exponent >= 0 && exponent <= 5) {
        store_word(out, digits);
        out[exponent + 1] = '.';
        store_word(out + exponent + 2, digits >> 8 * (exponent + 1));
        return out + (last > exponent ? last + 2 : exponent + 1);
    }
    if (exponent >= -4 && exponent < 0) {
        std::memcpy(out, "0.000000", 8);
        store_word(out + 1 - exponent, digits);
        return out + 2 - exponent + last;
    }
    out[0] = static_cast<char>(digits);
    out[1] = '.';
    store_word(out + 2, digits >> 8);
    out += last > 0 ? last + 2 : 1;
    out[0] = 'e';
    out[1] = exponent < 0 ? '-' : '+';
    std::memcpy(out + 2, kDigitPairs + 2 * (exponent < 0 ? -exponent : exponent), 2);
    return out + 4;
}

}  // namespace detail

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
    detail::SixDigits six;
    if (detail::six_digits(std::fabs(value), six))
        return detail::write_six_digits(out, std::signbit(value), six);
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
