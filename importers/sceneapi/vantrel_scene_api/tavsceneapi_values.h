// Typed values over the scene interface: the C++ type of a value chooses its type code,
// so a value cannot travel under the wrong code. Types without an overload here do not
// compile rather than convert (a long, a size_t or a pointer would otherwise become a
// bool or an int without a word).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tavsceneapi.h"

namespace tav {

// The two fixed float layouts the camera sends: "clipping" (near, far) and "fov4".
struct Float2 {
    float v[2];
};
struct Float4B {
    float v[4];
};

inline bool setParameter(tavScene_api& api, const char* name, bool value) {
    const int32_t flag = value ? 1 : 0;
    return api.set_parameter(name, TAV_BOOL, &flag);
}
inline bool setParameter(tavScene_api& api, const char* name, int32_t value) {
    return api.set_parameter(name, TAV_INT, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, float value) {
    return api.set_parameter(name, TAV_FLOAT, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, double value) {
    return api.set_parameter(name, TAV_DOUBLE, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, const tavColor& value) {
    return api.set_parameter(name, TAV_COLOR, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, const tavVector& value) {
    return api.set_parameter(name, TAV_VECTOR, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, const tavMatrix& value) {
    return api.set_parameter(name, TAV_MATRIX, &value);
}
inline bool setParameter(tavScene_api& api, const char* name, const Float2& value) {
    return api.set_parameter(name, TAV_FLOAT2, value.v);
}
inline bool setParameter(tavScene_api& api, const char* name, const Float4B& value) {
    return api.set_parameter(name, TAV_FLOAT4_B, value.v);
}
// Text travels as the characters themselves, not as a pointer to them.
inline bool setParameter(tavScene_api& api, const char* name, const char* text) {
    return api.set_parameter(name, TAV_STRING, text);
}
inline bool setParameter(tavScene_api& api, const char* name, const std::string& text) {
    return setParameter(api, name, text.c_str());
}
// A captured shader travels as a pointer to its handle.
inline bool setParameter(tavScene_api& api, const char* name, tavShader* shader) {
    return api.set_parameter(name, TAV_SHADER, &shader);
}
// Beats every converting match above: any other type is refused at compile time.
template <class T>
bool setParameter(tavScene_api& api, const char* name, T value) = delete;

// The element code of an array. There is none for the types no array may hold, so that
// setArray does not exist for them.
constexpr tavType elementCode(const int32_t*) { return TAV_INT; }
constexpr tavType elementCode(const float*) { return TAV_FLOAT; }
constexpr tavType elementCode(const double*) { return TAV_DOUBLE; }
constexpr tavType elementCode(const tavColor*) { return TAV_COLOR; }
constexpr tavType elementCode(const tavVector*) { return TAV_VECTOR; }
constexpr tavType elementCode(const tavMatrix*) { return TAV_MATRIX; }

// count elements from contiguous memory; the interface counts in 32 bits.
template <class T, tavType element = elementCode(static_cast<const T*>(nullptr))>
bool setArray(tavScene_api& api, const char* name, const T* data, size_t count) {
    const tavArray array{data, static_cast<uint32_t>(count)};
    return api.set_parameter(name, TAV_ARRAY | element, &array);
}
template <class T, class Allocator>
bool setArray(tavScene_api& api, const char* name, const std::vector<T, Allocator>& values) {
    return setArray(api, name, values.data(), values.size());
}
// count colours (points, normals) kept as x, y, z floats one after the other.
inline bool setColorArray(tavScene_api& api, const char* name, const float* xyz, size_t count) {
    const tavArray array{xyz, static_cast<uint32_t>(count)};
    return api.set_parameter(name, TAV_ARRAY | TAV_COLOR, &array);
}

}  // namespace tav
