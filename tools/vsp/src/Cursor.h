// Byte-level reading of scene-file tokens with bounds checks on every access; every
// failure raises ParseError at the offending offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vsp::detail {

// What a binary array block's 8-byte header announces.
struct BinaryHeader {
    char letter = 0;   // 'c', 'f', 'r' or 'i'
    size_t count = 0;  // elements; checked against the bytes left
};

// Told, now and then, how far reading has got: bytes before that offset are not read
// again, so a mapped file may drop them from memory.
using ProgressFn = std::function<void(size_t offset)>;

class Cursor {
public:
    explicit Cursor(std::string_view data, ProgressFn progress = {})
        : data_(data), progress_(std::move(progress)) {}

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
    // The header, checked; then exactly one of the reads below for its elements, which
    // append without widening.
    BinaryHeader readBinaryHeader();
    void readBinaryElements(std::vector<float>& into, size_t count);  // 'c', 'f'
    void readBinaryElements(std::vector<int32_t>& into, size_t count);
    void readBinaryElements(std::vector<double>& into, size_t count);  // 'r'
    void reportProgress() const;

    [[noreturn]] void fail(const std::string& message) const;
    // "'x'" for a printable byte, "byte 0x01" otherwise, "end of file" at the end.
    std::string describeCurrent() const;

    static bool isNumberWord(std::string_view word);

private:
    std::string readHex(size_t prefixLength, const char* what);
    template <class T>
    void readLittleEndian(std::vector<T>& into, size_t count);

    std::string_view data_;
    size_t pos_ = 0;
    ProgressFn progress_;
};

}  // namespace vsp::detail
