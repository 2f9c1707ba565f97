// Arrays for the scene interface as the writer and reader tests spell them: sent from a
// vector, and the binary block the text format holds them in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tavsceneapi.h"

template <class T>
void setArray(tavScene_api& api, const char* name, tavType element, const std::vector<T>& values) {
    const tavArray array{values.data(), static_cast<uint32_t>(values.size())};
    api.set_parameter(name, TAV_ARRAY | element, &array);
}

// Bytes 1 2 3, the element letter, the scalar count (little-endian, as this machine is),
// then the values' bytes.
template <class T>
std::string binaryBlock(char letter, uint32_t scalars, const std::vector<T>& values) {
    std::string block = {1, 2, 3, letter};
    block.append(reinterpret_cast<const char*>(&scalars), 4);
    return block.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
}
