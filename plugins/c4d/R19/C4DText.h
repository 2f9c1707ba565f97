// Host text as UTF-8, and fixed-size name buffers that never split a character.
#pragma once

#include <cstddef>
#include <string>

#include "c4d.h"

// The longest name the renderer takes, in bytes: its buffers for node names, material
// names and animation folders hold 1024 bytes with the terminator.
constexpr size_t kMaxNameBytes = 1023;

// The UTF-8 text of a host string, through the host's heap copy; false (out untouched)
// when the host cannot produce it.
bool getUtf8(const String& text, std::string& out);

// The longest prefix of text of at most maxBytes bytes that ends on a character boundary.
std::string cutUtf8(const std::string& text, size_t maxBytes);

// Copies text into buffer (capacity bytes, terminator included), cut as cutUtf8 does.
void copyUtf8(char* buffer, size_t capacity, const std::string& text);
