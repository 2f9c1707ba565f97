#include "tavsceneapi_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "NullApi.h"

namespace {

template <class T>
std::string bytesOf(const T& value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// An array value without its padding: where its elements are and how many.
std::string arrayOf(const void* data, uint32_t count) { return bytesOf(data) + bytesOf(count); }

// The last set_parameter: its type code and the bytes its value holds, as many as the
// code says a back end reads.
class Recorder : public NullApi {
public:
    bool set_parameter(const char*, tavType type, const void* value) override {
        lastType = type;
        const auto* bytes = static_cast<const char*>(value);
        if (type & TAV_ARRAY)
            lastValue = arrayOf(static_cast<const tavArray*>(value)->data,
                                static_cast<const tavArray*>(value)->count);
        else
            lastValue.assign(bytes, type == TAV_STRING ? std::strlen(bytes) : sizeOf(type));
        return true;
    }
    tavType lastType = 0;
    std::string lastValue;

private:
    static size_t sizeOf(tavType type) {
        switch (type) {
            case TAV_DOUBLE:
            case TAV_FLOAT2:
                return 8;
            case TAV_COLOR:
                return sizeof(tavColor);
            case TAV_VECTOR:
                return sizeof(tavVector);
            case TAV_MATRIX:
                return sizeof(tavMatrix);
            case TAV_FLOAT4_B:
                return 16;
            case TAV_SHADER:
                return sizeof(tavShader*);
            default:
                return 4;
        }
    }
};

template <class T, class = void>
struct Settable : std::false_type {};
template <class T>
struct Settable<T, std::void_t<decltype(tav::setParameter(std::declval<tavScene_api&>(), "",
                                                          std::declval<T>()))>> : std::true_type {};

template <class T, class = void>
struct ArraySettable : std::false_type {};
template <class T>
struct ArraySettable<T, std::void_t<decltype(tav::setArray(std::declval<tavScene_api&>(), "",
                                                           std::declval<const T*>(), 0))>>
    : std::true_type {};

// Values that would convert to bool or int without a word do not compile.
static_assert(Settable<int32_t>::value && Settable<bool>::value && Settable<const char*>::value);
static_assert(!Settable<long>::value && !Settable<unsigned>::value && !Settable<size_t>::value &&
              !Settable<int64_t>::value && !Settable<char*>::value &&
              !Settable<const void*>::value && !Settable<const tavColor*>::value);
static_assert(ArraySettable<int32_t>::value && ArraySettable<tavMatrix>::value);
static_assert(!ArraySettable<long>::value && !ArraySettable<uint32_t>::value &&
              !ArraySettable<bool>::value && !ArraySettable<char>::value);

TEST(TypedValues, EachCppTypeTravelsUnderItsOwnCode) {
    using tav::setParameter;
    Recorder api;
    tavShader shader;
    tavShader* handle = &shader;
    const tavColor color{1, 0.5f, 0.25f};
    const tavVector vector{1, 2, 3};
    const tavMatrix matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1}};
    const tav::Float2 clip{{0.5f, 9}};
    const tav::Float4B fov{{1, 2, 3, 4}};
    const std::vector<int32_t> ints{1, 2, 3};
    const std::vector<float> floats{1, 2, 3, 4, 5, 6, 7};
    const std::vector<double> doubles{1, 2};
    const std::vector<tavMatrix> matrices(4);
    const tavVector vectors[1] = {};
    struct Case {
        const char* name;
        std::function<bool()> set;
        tavType type;
        std::string value;
    };
    const Case cases[] = {
        {"true", [&] { return setParameter(api, "", true); }, TAV_BOOL, bytesOf(int32_t{1})},
        {"false", [&] { return setParameter(api, "", false); }, TAV_BOOL, bytesOf(int32_t{0})},
        {"int", [&] { return setParameter(api, "", -7); }, TAV_INT, bytesOf(int32_t{-7})},
        {"float", [&] { return setParameter(api, "", 0.1f); }, TAV_FLOAT, bytesOf(0.1f)},
        {"double", [&] { return setParameter(api, "", 0.1); }, TAV_DOUBLE, bytesOf(0.1)},
        {"colour", [&] { return setParameter(api, "", color); }, TAV_COLOR, bytesOf(color)},
        {"vector", [&] { return setParameter(api, "", vector); }, TAV_VECTOR, bytesOf(vector)},
        {"matrix", [&] { return setParameter(api, "", matrix); }, TAV_MATRIX, bytesOf(matrix)},
        {"float2", [&] { return setParameter(api, "", clip); }, TAV_FLOAT2, bytesOf(clip)},
        {"float4_b", [&] { return setParameter(api, "", fov); }, TAV_FLOAT4_B, bytesOf(fov)},
        {"text", [&] { return setParameter(api, "", "abc"); }, TAV_STRING, "abc"},
        {"string", [&] { return setParameter(api, "", std::string("abc")); }, TAV_STRING, "abc"},
        {"shader", [&] { return setParameter(api, "", handle); }, TAV_SHADER, bytesOf(handle)},
        {"ints", [&] { return tav::setArray(api, "", ints); }, TAV_ARRAY | TAV_INT,
         arrayOf(ints.data(), 3)},
        {"floats", [&] { return tav::setArray(api, "", floats); }, TAV_ARRAY | TAV_FLOAT,
         arrayOf(floats.data(), 7)},
        {"doubles", [&] { return tav::setArray(api, "", doubles); }, TAV_ARRAY | TAV_DOUBLE,
         arrayOf(doubles.data(), 2)},
        {"vectors", [&] { return tav::setArray(api, "", vectors, 1); }, TAV_ARRAY | TAV_VECTOR,
         arrayOf(vectors, 1)},
        {"matrices", [&] { return tav::setArray(api, "", matrices); }, TAV_ARRAY | TAV_MATRIX,
         arrayOf(matrices.data(), 4)},
        // Float triples count as colours: two whole ones in seven floats.
        {"triples", [&] { return tav::setColorArray(api, "", floats.data(), floats.size() / 3); },
         TAV_ARRAY | TAV_COLOR, arrayOf(floats.data(), 2)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.set());
        EXPECT_EQ(api.lastType, c.type);
        EXPECT_EQ(api.lastValue, c.value);
    }
}

}  // namespace
