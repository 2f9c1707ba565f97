#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "writer_output.h"

namespace {

template <class T>
tavArray array_of(const std::vector<T>& v) {
    return tavArray{v.data(), static_cast<uint32_t>(v.size())};
}

std::string bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

std::string binary_block(char letter, uint32_t count, const void* data, size_t size) {
    std::string s = {1, 2, 3, letter};
    s += bytes(&count, 4);
    return s + bytes(data, size);
}

}  // namespace

TEST(WriterNames, PlainTextIsQuotedEverythingElseHexEncoded) {
    WriterOutput out;
    const char* names[] = {"abc", "", "say \"hi\"", "caf\xc3\xa9", "two\nlines", "cr\r"};
    for (const char* name : names) out->material_use(name);
    EXPECT_EQ(out.take(),
              "material \"abc\"\n"
              "material \"\"\n"
              "material xX7361792022686922\n"
              "material xX636166c3a9\n"
              "material xX74776f0a6c696e6573\n"
              "material xX63720d\n");
}

TEST(WriterNames, LongNamesAreNeverCut) {
    WriterOutput out;
    std::string name(3 << 20, 'n');
    out->object_begin(name.c_str(), true);
    EXPECT_EQ(out.take(), "object \"" + name + "\" {\n");
}

TEST(WriterValues, ScalarsInStatementStyle) {
    WriterOutput out;
    out->object_begin("o", true);
    out.take();
    tavColor color{1, 0.5f, 0.1f};
    float four[4] = {1, 2, 3, 4.5f};
    float f = 0.1f, inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    double d = 1.0 / 3.0, huge = 1e39;
    tavVector v{1e-9, -2, 123456789};
    int32_t i = -7, ints[4] = {1, -2, 3, -4};
    const char* ref = "abc";
    tavMatrix m{{0.1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.0 / 3.0, 0, 0, 1}};
    out->set_parameter("c", TAV_COLOR, &color);
    out->set_parameter("f4", TAV_FLOAT4, four);
    out->set_parameter("f4b", TAV_FLOAT4_B, four);
    out->set_parameter("f", TAV_FLOAT, &f);
    out->set_parameter("inf", TAV_FLOAT, &inf);
    out->set_parameter("nan", TAV_FLOAT, &nan);
    out->set_parameter("d", TAV_DOUBLE, &d);
    out->set_parameter("huge", TAV_DOUBLE, &huge);
    out->set_parameter("v", TAV_VECTOR, &v);
    out->set_parameter("i", TAV_INT, &i);
    out->set_parameter("ib", TAV_INT_B, &i);
    out->set_parameter("b", TAV_BOOL, &i);
    out->set_parameter("m", TAV_MATRIX, &m);
    out->set_parameter("s", TAV_STRING, "text");
    out->set_parameter("sr", TAV_STRING_REF, &ref);
    out->set_parameter("f2", TAV_FLOAT2, four);
    out->set_parameter("i2", TAV_INT2, ints);
    out->set_parameter("i3", TAV_INT3, ints);
    out->set_parameter("i4", TAV_INT4, ints);
    out->set_parameter("unknown", TAV_TYPE_8, ints);
    EXPECT_EQ(out.take(),
              "c 1 0.5 0.1\nf4 1 2 3 4.5\nf4b 1 2 3 4.5\nf 0.1\ninf -1\nnan -1\n"
              "d 0.3333333333333333\nhuge 999999999999999939709166371603178586112.0000000000000000\n"
              "v 1e-09 -2 1.23457e+08\ni -7\nib -7\nb on\n"
              "m 0.1 0 0 0 0 1 0 0 0 0 1 0 0.333333 0 0 1\n"
              "s \"text\"\nsr \"abc\"\nf2 1 2\ni2 1 -2\ni3 1 -2 3\ni4 1 -2 3 -4\nunknown \n");
}

TEST(WriterValues, ListStyleQuotesTheNameAndEndsWithComma) {
    WriterOutput out;
    float inf = std::numeric_limits<float>::infinity();
    int32_t off = 0;
    out->set_parameter("power", TAV_FLOAT, &inf);
    out->set_parameter("lumen", TAV_BOOL, &off);
    EXPECT_EQ(out.take(), "\"power\" -1,\n\"lumen\" off,\n");
}

TEST(WriterArrays, TextArraysSeparateWithCommasAndBreakEveryEighthElement) {
    WriterOutput out;
    std::vector<float> floats = {1, 2, 3};
    std::vector<int32_t> ints = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<int32_t> empty;
    std::vector<float> colors = {1, 0, 0, 0, 1, 0.5f};
    std::vector<double> doubles = {0.5, 1e39};
    std::vector<int32_t> bools = {0, 5};
    std::vector<tavVector> vectors = {{1, 2, 3}};
    auto a = array_of(floats), b = array_of(ints), c = array_of(empty), d = tavArray{colors.data(), 2},
         e = array_of(doubles), f = array_of(bools), g = array_of(vectors);
    out->set_parameter("f", TAV_ARRAY | TAV_FLOAT, &a);
    out->set_parameter("i", TAV_ARRAY | TAV_INT, &b);
    out->set_parameter("e", TAV_ARRAY | TAV_INT, &c);
    out->set_parameter("c", TAV_ARRAY | TAV_COLOR, &d);
    out->set_parameter("d", TAV_ARRAY | TAV_DOUBLE, &e);
    out->set_parameter("b", TAV_ARRAY | TAV_BOOL, &f);
    out->set_parameter("v", TAV_ARRAY | TAV_VECTOR, &g);
    EXPECT_EQ(out.take(),
              "\"f\" [ 1,2,3 ] ,\n"
              "\"i\" [ 0,1,2,3,4,5,6,7,8,\n9 ] ,\n"
              "\"e\" [ ] ,\n"
              "\"c\" [ 1 0 0,0 1 0.5 ] ,\n"
              "\"d\" [ 0.5000000000000000,-1.0000000000000000 ] ,\n"
              "\"b\" [ 0,1 ] ,\n"
              "\"v\" [ 1 2 3 ] ,\n");
}

TEST(WriterArrays, MatrixAndTextArraysPutOneElementPerLine) {
    WriterOutput out;
    std::vector<tavMatrix> matrices(2, tavMatrix{{1.0 / 3.0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}});
    std::vector<const char*> texts = {"a", "b\"c"};
    auto m = array_of(matrices), t = array_of(texts);
    out->set_parameter("matrices", TAV_ARRAY | TAV_MATRIX, &m);
    out->set_parameter("names", TAV_ARRAY | TAV_STRING, &t);
    EXPECT_EQ(out.take(),
              "\"matrices\" [ 0.333333 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ,\n"
              "0.333333 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \n] ,\n"
              "\"names\" [ \"a\",\nxX622263 \n] ,\n");
}

TEST(WriterArrays, ElementTypesWithoutTextFormWriteNothing) {
    WriterOutput out;
    std::vector<float> v = {1, 2, 3, 4};
    auto a = array_of(v);
    for (tavType element : {TAV_TYPE_8, TAV_TYPE_11, TAV_TYPE_12, TAV_FLOAT2, TAV_FLOAT4_B, TAV_TYPE_22})
        out->set_parameter("x", TAV_ARRAY | element, &a);
    EXPECT_EQ(out.take(), "\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n");
}

TEST(WriterArrays, BinaryArraysAreRawBlocksStraightFromTheCallersMemory) {
    WriterOutput out(true);
    std::vector<float> floats = {1, 2, 3};
    std::vector<float> colors = {1, 0, 0, 0, 1, 0};
    std::vector<double> doubles = {0.5, -2};
    std::vector<int32_t> ints = {7, -1};
    std::vector<int32_t> none;
    auto f = array_of(floats), c = tavArray{colors.data(), 2}, d = array_of(doubles), i = array_of(ints),
         e = array_of(none);
    out->set_parameter("f", TAV_ARRAY | TAV_FLOAT, &f);
    out->set_parameter("c", TAV_ARRAY | TAV_COLOR, &c);
    out->set_parameter("d", TAV_ARRAY | TAV_DOUBLE, &d);
    out->set_parameter("i", TAV_ARRAY | TAV_INT, &i);
    out->set_parameter("ib", TAV_ARRAY | TAV_INT_B, &i);
    out->set_parameter("e", TAV_ARRAY | TAV_INT, &e);
    EXPECT_EQ(out.take(),
              "\"f\" [ " + binary_block('f', 3, floats.data(), 12) + "] ,\n" +
              "\"c\" [ " + binary_block('c', 6, colors.data(), 24) + "] ,\n" +
              "\"d\" [ " + binary_block('r', 2, doubles.data(), 16) + "] ,\n" +
              "\"i\" [ " + binary_block('i', 2, ints.data(), 8) + "] ,\n" +
              "\"ib\" [ " + binary_block('i', 2, ints.data(), 8) + "] ,\n" +
              "\"e\" [ " + binary_block('i', 0, nullptr, 0) + "] ,\n");

    std::vector<tavVector> vectors = {{1, 2, 3}};
    auto v = array_of(vectors);
    out->set_parameter("v", TAV_ARRAY | TAV_VECTOR, &v);
    EXPECT_EQ(out.take(), "\"v\" [ 1 2 3 ] ,\n");
}

TEST(WriterArrayMode, TextModePutsSixValuesOrTwoColoursOnALine) {
    WriterOutput out;
    out->initialize_array_mode("values");
    for (int32_t i = 0; i < 8; ++i) out->set_array_parameter(TAV_INT, &i);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"values\" [\n0, 1, 2, 3, 4, 5,\n6, 7 ],\n");

    tavColor color{1, 0, 0};
    out->initialize_array_mode("colors");
    for (int i = 0; i < 3; ++i) out->set_array_parameter(TAV_COLOR, &color);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"colors\" [\n1 0 0, 1 0 0,\n1 0 0 ],\n");
}

TEST(WriterArrayMode, BinaryModeCollectsOneBlock) {
    WriterOutput out(true);
    out->set_output_mode(TAV_OUTPUT_BINARY);  // indentation on, to see the indentation piece
    tavColor colors[2] = {{1, 0, 0}, {0, 1, 0}};
    out->initialize_array_mode("colors");
    for (tavColor& c : colors) out->set_array_parameter(TAV_COLOR, &c);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"colors\" [\n " + binary_block('c', 6, colors, 24) + " ],\n");
}
