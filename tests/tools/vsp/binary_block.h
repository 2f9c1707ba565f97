// Builds binary array blocks byte by byte, as the writer lays them out.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

template <class T>
std::string binaryBlock(char letter, const std::vector<T>& values, uint32_t count) {
    std::string block = {'\x01', '\x02', '\x03', letter};
    for (int shift = 0; shift < 32; shift += 8) block += static_cast<char>(count >> shift);
    for (const T& value : values) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));  // the test host is little-endian, as files are
        block.append(reinterpret_cast<const char*>(bytes), sizeof(T));
    }
    return block;
}

template <class T>
std::string binaryBlock(char letter, const std::vector<T>& values) {
    return binaryBlock(letter, values, static_cast<uint32_t>(values.size()));
}
