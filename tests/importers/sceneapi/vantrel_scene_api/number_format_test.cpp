// The writer formats numbers without printf; these prove the text is identical.
#include "number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

std::string printf_text(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Exact ties at the sixth digit (h.5 and h5 * 10^k), the neighbours of powers of ten and
// of the text form boundaries, and random values of every magnitude a single scaling
// reaches, so that both the short road and its fallback are compared.
void add_ties_and_boundaries(std::vector<double>& values, std::mt19937_64& random) {
    for (int i = 0; i < 20000; ++i) {
        const int64_t head = 100000 + int64_t(random() % 900000);
        values.push_back(head + 0.5);
        values.push_back(double(10 * head + 5) * std::pow(10.0, int(random() % 9)));
    }
    for (int e = -30; e <= 30; ++e) {
        const double power = std::pow(10.0, e);
        for (double v : {power, 0.5 * power, 9.999995 * power, 9.9999949 * power})
            for (double direction : {0.0, -1.0, 1.0})
                values.push_back(std::nextafter(v, v + direction));
    }
    for (int i = 0; i < 60000; ++i) {
        const double mantissa = 1.0 + double(random() >> 11) * 0x1p-53;
        values.push_back(std::ldexp(i % 2 ? -mantissa : mantissa, int(random() % 180) - 80));
    }
}

// Edge values, then random bit patterns, float-sized values and integers.
std::vector<double> interesting_values() {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.1, 0.5, 1.5, 100.0, 1e5, 999999.5, 1e6};
    values.insert(values.end(), {1234567.0, 1e-4, 1e-5, 0.000123456789, 12.566, 57.29577951308232});
    values.insert(values.end(), {DBL_MIN, DBL_MAX, -DBL_MAX, FLT_MAX, FLT_MIN, DBL_TRUE_MIN});
    values.insert(values.end(), {2.5e-310, inf, -inf, nan, -nan, 9.5, 0.0000095, 1e300});
    std::mt19937_64 random(42);
    add_ties_and_boundaries(values, random);
    for (int i = 0; i < 60000; ++i) {
        const uint64_t b = random();
        double d;
        std::memcpy(&d, &b, sizeof d);
        values.push_back(d);
        values.push_back(
            static_cast<float>(std::ldexp(double(b % 2000000) - 1e6, int(b % 60) - 30)));
        values.push_back(static_cast<double>(static_cast<int64_t>(b % 100000000) - 50000000));
    }
    return values;
}

}  // namespace

// Formatted behind earlier text, as the writer does in its buffer: a short text padded
// to the field width must not spill over what came before.
template <typename Write, typename Value>
std::string written(Write write, Value value) {
    char buffer[8 + tav_format::kMaxNumberText] = "before ";
    return std::string(buffer + 7, write(buffer + 7, value)) + "|" + std::string(buffer, 7);
}

TEST(NumberFormat, GeneralFixedAndIntegerTextsMatchPrintf) {
    for (double v : interesting_values()) {
        ASSERT_EQ(written(tav_format::write_g, v), printf_text("%g", v) + "|before ") << v;
        std::string appended;
        tav_format::append_g(appended, v);
        ASSERT_EQ(appended, printf_text("%g", v)) << v;
        ASSERT_EQ(written(tav_format::write_fixed16, v), printf_text("%16.16f", v) + "|before ")
            << v;
    }
    for (int64_t v :
         {int64_t(0), int64_t(-1), int64_t(INT32_MIN), int64_t(INT32_MAX), int64_t(4294967295)})
        EXPECT_EQ(written(tav_format::write_int, v), std::to_string(v) + "|before ");
}
