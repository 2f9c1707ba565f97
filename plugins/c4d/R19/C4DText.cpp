#include "C4DText.h"

#include <cstring>

bool getUtf8(const String& text, std::string& out) {
    Char* copy = text.GetCStringCopy(STRINGENCODING_UTF8);
    if (!copy) return false;
    out = copy;
    DeleteMem(copy);
    return true;
}

std::string cutUtf8(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t n = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

void copyUtf8(char* buffer, size_t capacity, const std::string& text) {
    if (capacity == 0) return;
    const std::string cut = cutUtf8(text, capacity - 1);
    std::memcpy(buffer, cut.c_str(), cut.size() + 1);
}
