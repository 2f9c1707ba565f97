#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "scene_arrays.h"
#include "writer_output.h"

namespace {

// 1e-50 is 0 once rounded to single precision: only matrix arrays keep it.
const tavMatrix kThird{{1.0 / 3.0, 1e-50, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

}  // namespace

TEST(WriterNames, PlainTextIsQuotedEverythingElseHexEncodedNothingCut) {
    WriterOutput out;
    const std::string longName(3 << 20, 'n');
    const char* names[] = {"abc", "", "say \"hi\"", "caf\xc3\xa9", "two\nlines", "cr\r"};
    for (const char* name : names) out->material_use(name);
    out->material_use(longName.c_str());
    EXPECT_EQ(out.take(),
              "material \"abc\"\n"
              "material \"\"\n"
              "material xX7361792022686922\n"
              "material xX636166c3a9\n"
              "material xX74776f0a6c696e6573\n"
              "material xX63720d\n"
              "material \"" +
                  longName + "\"\n");
}

TEST(WriterValues, ScalarsInStatementStyle) {
    WriterOutput out;
    out->object_begin("o", true);
    out.take();
    tavColor color{1, 0.5f, 0.1f};
    float four[4] = {1, 2, 3, 4.5f};
    // The float limit is exclusive: FLT_MAX itself is not written as a number.
    float f = 0.1f, inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    float max = FLT_MAX, lowest = -FLT_MAX, below = std::nextafter(FLT_MAX, 0.0f);
    double d = 1.0 / 3.0, huge = 1e39;
    tavVector v{1e-9, -2, 123456789};
    int32_t i = -7, zero = 0, ints[4] = {1, -2, 3, -4};
    const char* ref = "abc";
    tavMatrix m{{0.1, 1e-50, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1.0 / 3.0, 0, 0, 1}};
    const std::tuple<const char*, tavType, const void*> parameters[] = {
        {"c", TAV_COLOR, &color},     {"f4", TAV_FLOAT4, four},
        {"f4b", TAV_FLOAT4_B, four},  {"f", TAV_FLOAT, &f},
        {"inf", TAV_FLOAT, &inf},     {"nan", TAV_FLOAT, &nan},
        {"max", TAV_FLOAT, &max},     {"lowest", TAV_FLOAT, &lowest},
        {"below", TAV_FLOAT, &below}, {"d", TAV_DOUBLE, &d},
        {"huge", TAV_DOUBLE, &huge},  {"v", TAV_VECTOR, &v},
        {"i", TAV_INT, &i},           {"ib", TAV_INT_B, &i},
        {"b", TAV_BOOL, &i},          {"b0", TAV_BOOL, &zero},
        {"m", TAV_MATRIX, &m},        {"s", TAV_STRING, "text"},
        {"sr", TAV_STRING_REF, &ref}, {"f2", TAV_FLOAT2, four},
        {"i2", TAV_INT2, ints},       {"i3", TAV_INT3, ints},
        {"i4", TAV_INT4, ints},       {"unknown", TAV_TYPE_8, ints}};
    for (const auto& [name, type, value] : parameters) out->set_parameter(name, type, value);
    EXPECT_EQ(
        out.take(),
        "c 1 0.5 0.1\nf4 1 2 3 4.5\nf4b 1 2 3 4.5\nf 0.1\ninf -1\nnan -1\n"
        "max -1\nlowest -1\nbelow 3.40282e+38\n"
        "d 0.3333333333333333\nhuge 999999999999999939709166371603178586112.0000000000000000\n"
        "v 1e-09 -2 1.23457e+08\ni -7\nib -7\nb on\nb0 off\n"
        "m 0.1 0 0 0 0 1 0 0 0 0 1 0 0.333333 0 0 1\n"
        "s \"text\"\nsr \"abc\"\nf2 1 2\ni2 1 -2\ni3 1 -2 3\ni4 1 -2 3 -4\nunknown \n");
}

TEST(WriterArrays, TextArraysSeparateWithCommasAndBreakEveryEighthOrEveryMatrixOrText) {
    WriterOutput out;
    setArray(*out, "f", TAV_FLOAT, std::vector<float>{1, 2, 3, FLT_MAX, -FLT_MAX});
    setArray(*out, "i", TAV_INT, std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    setArray(*out, "e", TAV_INT, std::vector<int32_t>{});
    setArray(*out, "c", TAV_COLOR, std::vector<tavColor>{{1, 0, 0}, {0, 1, 0.5f}});
    setArray(*out, "d", TAV_DOUBLE, std::vector<double>{0.5, 1e39, FLT_MAX});
    setArray(*out, "b", TAV_BOOL, std::vector<int32_t>{0, 5});
    setArray(*out, "v", TAV_VECTOR, std::vector<tavVector>{{1, 2, 3}});
    // Matrices and texts put one element on each line.
    setArray(*out, "matrices", TAV_MATRIX, std::vector<tavMatrix>(2, kThird));
    setArray(*out, "names", TAV_STRING, std::vector<const char*>{"a", "b\"c"});
    // Element types without a text form write the name only; codes no format knows, the brackets.
    for (tavType element :
         {TAV_TYPE_8, TAV_TYPE_11, TAV_TYPE_12, TAV_FLOAT2, TAV_FLOAT4_B, TAV_TYPE_22})
        setArray(*out, "x", element, std::vector<float>{1, 2, 3, 4});
    for (int element : {0, 24, int(TAV_SHADER)})
        setArray(*out, "y", static_cast<tavType>(element), std::vector<float>{1, 2, 3, 4});
    EXPECT_EQ(out.take(),
              "\"f\" [ 1,2,3,-1,-1 ] ,\n"
              "\"i\" [ 0,1,2,3,4,5,6,7,8,\n9 ] ,\n"
              "\"e\" [ ] ,\n"
              "\"c\" [ 1 0 0,0 1 0.5 ] ,\n"
              "\"d\" [ 0.5000000000000000,-1.0000000000000000,-1.0000000000000000 ] ,\n"
              "\"b\" [ 0,1 ] ,\n"
              "\"v\" [ 1 2 3 ] ,\n"
              "\"matrices\" [ 0.333333 1e-50 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ,\n"
              "0.333333 1e-50 0 0 0 1 0 0 0 0 1 0 0 0 0 1 \n] ,\n"
              "\"names\" [ \"a\",\nxX622263 \n] ,\n"
              "\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n\"x\" ,\n"
              "\"y\" [ ] ,\n\"y\" [ ] ,\n\"y\" [ ] ,\n");
}

// Long arrays are written out in chunks of their text: nothing may be lost, repeated or
// cut between chunks, and a buffer kept from a longer array must not leak into a shorter.
TEST(WriterArrays, LongTextArraysComeOutWholeAcrossChunks) {
    WriterOutput out;
    std::vector<int32_t> ints(40000);
    std::string intText = "\"i\" [ ";
    for (size_t i = 0; i < ints.size(); ++i) {
        ints[i] = int32_t(i * 7919) - 100000000;
        intText += std::to_string(ints[i]) + (i + 1 < ints.size() ? "," : " ");
        if (i > 0 && i % 8 == 0) intText += '\n';
    }
    std::vector<tavMatrix> matrices(3000, kThird);
    std::string matrixText = "\"m\" [ ";
    for (size_t i = 0; i < matrices.size(); ++i) {
        matrices[i].m[12] = 0.37 * double(i) - 500;
        for (double v : matrices[i].m) {
            char number[64];
            std::snprintf(number, sizeof number, "%g ", v);
            matrixText += number;
        }
        matrixText += i + 1 < matrices.size() ? ",\n" : "\n";
    }
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        setArray(*out, "i", TAV_INT, ints);
        setArray(*out, "m", TAV_MATRIX, matrices);
        setArray(*out, "s", TAV_INT, std::vector<int32_t>{5});
        EXPECT_EQ(out.take(), intText + "] ,\n" + matrixText + "] ,\n\"s\" [ 5 ] ,\n");
    }
}

TEST(WriterArrays, BinaryArraysAreRawBlocksStraightFromTheCallersMemory) {
    WriterOutput out(true);
    const std::vector<float> floats = {1, 2, 3};
    const std::vector<tavColor> colors = {{1, 0, 0}, {0, 1, 0}};
    const std::vector<double> doubles = {0.5, -2};
    const std::vector<int32_t> ints = {7, -1}, none;
    setArray(*out, "f", TAV_FLOAT, floats);
    setArray(*out, "c", TAV_COLOR, colors);
    setArray(*out, "d", TAV_DOUBLE, doubles);
    setArray(*out, "i", TAV_INT, ints);
    setArray(*out, "ib", TAV_INT_B, ints);
    setArray(*out, "e", TAV_INT, none);
    setArray(*out, "v", TAV_VECTOR, std::vector<tavVector>{{1, 2, 3}});  // no binary form
    setArray(*out, "u", static_cast<tavType>(0), ints);                  // nor a text form
    EXPECT_EQ(out.take(),
              "\"f\" [ " + binaryBlock('f', 3, floats) + "] ,\n" + "\"c\" [ " +
                  binaryBlock('c', 6, colors) + "] ,\n" + "\"d\" [ " +
                  binaryBlock('r', 2, doubles) + "] ,\n" + "\"i\" [ " + binaryBlock('i', 2, ints) +
                  "] ,\n" + "\"ib\" [ " + binaryBlock('i', 2, ints) + "] ,\n" + "\"e\" [ " +
                  binaryBlock('i', 0, none) + "] ,\n" + "\"v\" [ 1 2 3 ] ,\n" + "\"u\" [ ] ,\n");
}

TEST(WriterArrayMode, TextPutsSixValuesOrTwoColoursOnALineBinaryOneBlock) {
    WriterOutput out;
    out->initialize_array_mode("values");
    for (int32_t i = 0; i < 8; ++i) out->set_array_parameter(TAV_INT, &i);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"values\" [\n0, 1, 2, 3, 4, 5,\n6, 7 ],\n");

    // Elements are written as values, so bools read on and off here, unlike in arrays.
    out->initialize_array_mode("flags");
    for (int32_t flag : {2, 0}) out->set_array_parameter(TAV_BOOL, &flag);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"flags\" [\non, off ],\n");

    tavColor color{1, 0, 0};
    out->initialize_array_mode("colors");
    for (int i = 0; i < 3; ++i) out->set_array_parameter(TAV_COLOR, &color);
    out->finalize_array_mode();
    EXPECT_EQ(out.take(), "\"colors\" [\n1 0 0, 1 0 0,\n1 0 0 ],\n");

    // Binary: one block; indentation on, to see the indentation piece.
    WriterOutput bin(true);
    bin->set_output_mode(TAV_OUTPUT_BINARY);
    std::vector<tavColor> colors = {{1, 0, 0}, {0, 1, 0}};
    bin->initialize_array_mode("colors");
    for (tavColor& c : colors) bin->set_array_parameter(TAV_COLOR, &c);
    bin->finalize_array_mode();
    EXPECT_EQ(bin.take(), "\"colors\" [\n " + binaryBlock('c', 6, colors) + " ],\n");
}
