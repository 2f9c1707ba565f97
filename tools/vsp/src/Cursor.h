// Byte-level reading of scene-file tokens with bounds checks on every access; every
// failure raises ParseError at the offending offset.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vsp::detail {

// Decoded binary array block.
struct BinaryBlock {
    char letter = 0;  // 'c', 'f', 'r' or 'i'
    std::vector<double> numbers;
};

class Cursor {
public:
    explicit Cursor(std::string_view data) : data_(data) {}

    size_t offset() const { return pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    // The current byte, or 0 at the end.
    char peek() const { return atEnd() ? '\0' : data_[pos_]; }
    bool startsWith(std::string_view prefix) const;
    void advance(size_t n = 1);
    void seek(size_t offset);

    void skipBlanks();                    // spaces, tabs, carriage returns
    void skipSpace();                     // blanks and newlines
    bool atLineEnd() const;               // at a newline or at the end
    void finishLine();                    // blanks, then a newline or the end; else ParseError
    std::string_view restOfLine() const;  // not consumed, without the newline

    // Quoted ("...") or hex-encoded (xX...) text.
    bool atText() const;
    std::string readText();
    // Text of a "#print" or "#error" line: everything up to the first quote that ends a
    // line or the file, which may itself hold quotes; the quote and newline are consumed.
    std::string readToClosingQuote();
    // "bX..." byte block.
    bool atBytes() const;
    std::string readBytes();
    // A run of printable bytes up to a blank, newline or one of , { } [ ] ".
    std::string readWord();
    // "on" or "off" standing alone.
    std::optional<bool> readSwitch();
    std::optional<double> readNumber();
    // Numbers separated by blanks, on this line.
    std::vector<double> readNumbers();
    bool atBinaryBlock() const { return peek() == '\x01'; }
    BinaryBlock readBinaryBlock();

    [[noreturn]] void fail(const std::string& message) const;
    // "'x'" for a printable byte, "byte 0x01" otherwise, "end of file" at the end.
    std::string describeCurrent() const;

    static bool isNumberWord(std::string_view word);

private:
    std::string readHex(size_t prefixLength, const char* what);

    std::string_view data_;
    size_t pos_ = 0;
};

}  // namespace vsp::detail
