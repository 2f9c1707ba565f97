#include "Cursor.h"

#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "vsp/Reader.h"

namespace vsp::detail {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isWordEnd(char c) { return isBlank(c) || c == '\n' || std::strchr(",{}[]\"", c) != nullptr; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint32_t littleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// from_chars leaves the value alone when a literal over- or underflows a double:
// give it the limit it ran past.
double outOfRange(const char* first, const char* end) {
    std::string_view literal(first, static_cast<size_t>(end - first));
    size_t exponent = literal.find_first_of("eE");
    bool tiny = exponent != std::string_view::npos && exponent + 1 < literal.size() &&
                literal[exponent + 1] == '-';
    double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return literal[0] == '-' ? -magnitude : magnitude;
}

}  // namespace

bool Cursor::startsWith(std::string_view prefix) const {
    return data_.substr(pos_).substr(0, prefix.size()) == prefix;
}

void Cursor::advance(size_t n) { pos_ = std::min(data_.size(), pos_ + n); }

void Cursor::seek(size_t offset) { pos_ = std::min(data_.size(), offset); }

void Cursor::skipBlanks() {
    while (!atEnd() && isBlank(data_[pos_])) ++pos_;
}

void Cursor::skipSpace() {
    while (!atEnd() && (isBlank(data_[pos_]) || data_[pos_] == '\n')) ++pos_;
}

bool Cursor::atLineEnd() const { return atEnd() || data_[pos_] == '\n'; }

void Cursor::finishLine() {
    skipBlanks();
    if (!atLineEnd()) fail("expected the end of the line, found " + describeCurrent());
    advance();
}

std::string_view Cursor::restOfLine() const {
    std::string_view rest = data_.substr(pos_);
    return rest.substr(0, rest.find('\n'));
}

bool Cursor::atText() const { return peek() == '"' || startsWith("xX"); }

std::string Cursor::readText() {
    if (peek() != '"') return readHex(2, "hex-encoded text");
    size_t start = pos_;
    for (size_t i = pos_ + 1; i < data_.size(); ++i) {
        // The writer hex-encodes any text holding a quote or a line break.
        if (data_[i] == '\n') break;
        if (data_[i] == '"') {
            pos_ = i + 1;
            return std::string(data_.substr(start + 1, i - start - 1));
        }
    }
    pos_ = start;
    fail("quoted text is not closed on its line");
}

std::string Cursor::readToClosingQuote() {
    for (size_t i = pos_; i < data_.size(); ++i) {
        if (data_[i] == '"' && (i + 1 == data_.size() || data_[i + 1] == '\n')) {
            std::string text(data_.substr(pos_, i - pos_));
            seek(i + 2);
            return text;
        }
    }
    fail("text is not closed by a quote at the end of a line");
}

bool Cursor::atBytes() const { return startsWith("bX"); }

std::string Cursor::readBytes() { return readHex(2, "byte block"); }

std::string Cursor::readHex(size_t prefixLength, const char* what) {
    size_t start = pos_;
    size_t end = pos_ + prefixLength;
    while (end < data_.size() && hexDigit(data_[end]) >= 0) ++end;
    size_t digits = end - start - prefixLength;
    if (digits % 2 != 0) {
        pos_ = end;
        fail(std::string(what) + " has an odd number of hex digits");
    }
    std::string decoded(digits / 2, '\0');
    for (size_t i = 0; i < decoded.size(); ++i) {
        const char* pair = data_.data() + start + prefixLength + 2 * i;
        decoded[i] = static_cast<char>(hexDigit(pair[0]) * 16 + hexDigit(pair[1]));
    }
    pos_ = end;
    return decoded;
}

std::string Cursor::readWord() {
    size_t start = pos_;
    while (!atEnd() && !isWordEnd(data_[pos_])) {
        unsigned char c = static_cast<unsigned char>(data_[pos_]);
        if (c < 0x20 || c == 0x7f) fail("unexpected " + describeCurrent());
        ++pos_;
    }
    if (pos_ == start) fail("expected a word, found " + describeCurrent());
    return std::string(data_.substr(start, pos_ - start));
}

std::optional<bool> Cursor::readSwitch() {
    for (bool value : {true, false}) {
        std::string_view word = value ? "on" : "off";
        if (startsWith(word) &&
            (pos_ + word.size() == data_.size() || isWordEnd(data_[pos_ + word.size()]))) {
            advance(word.size());
            return value;
        }
    }
    return std::nullopt;
}

std::optional<double> Cursor::readNumber() {
    const char* first = data_.data() + pos_;
    double value = 0;
    auto [end, error] = std::from_chars(first, data_.data() + data_.size(), value);
    if (error == std::errc::invalid_argument) return std::nullopt;
    if (error == std::errc::result_out_of_range) value = outOfRange(first, end);
    pos_ = static_cast<size_t>(end - data_.data());
    return value;
}

std::vector<double> Cursor::readNumbers() {
    std::vector<double> numbers;
    for (;;) {
        skipBlanks();
        std::optional<double> number = readNumber();
        if (!number) return numbers;
        numbers.push_back(*number);
    }
}

bool Cursor::isNumberWord(std::string_view word) {
    double value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error != std::errc::invalid_argument && end == word.data() + word.size();
}

BinaryHeader Cursor::readBinaryHeader() {
    size_t remaining = data_.size() - pos_;
    if (remaining < 8) fail("binary array block is cut off in its 8-byte header");
    auto bytes = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
    if (bytes[1] != 2 || bytes[2] != 3) fail("binary array block has a damaged tag");
    BinaryHeader header;
    header.letter = static_cast<char>(bytes[3]);
    if (std::strchr("cfri", header.letter) == nullptr || header.letter == '\0')
        fail("binary array block has unknown type " + std::to_string(bytes[3]));
    uint64_t count = littleEndian32(bytes + 4);
    uint64_t width = header.letter == 'r' ? 8 : 4;
    if (count * width > remaining - 8)
        fail("binary array block of " + std::to_string(count) + " elements needs " +
             std::to_string(count * width) + " bytes, only " + std::to_string(remaining - 8) +
             " remain");
    if (header.letter == 'c' && count % 3 != 0)
        fail("binary colour block holds " + std::to_string(count) + " floats, not a multiple of 3");
    header.count = static_cast<size_t>(count);
    pos_ += 8;
    return header;
}

namespace {

template <class T>
T decodeLittleEndian(const unsigned char* p);

template <>
float decodeLittleEndian<float>(const unsigned char* p) {
    uint32_t bits = littleEndian32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <>
int32_t decodeLittleEndian<int32_t>(const unsigned char* p) {
    return static_cast<int32_t>(littleEndian32(p));
}

template <>
double decodeLittleEndian<double>(const unsigned char* p) {
    uint64_t bits = uint64_t(littleEndian32(p + 4)) << 32 | littleEndian32(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Large arrays are written once, front to back: in huge pages the kernel takes one
// fault per 2 MiB instead of one per 4 KiB. Only advice: nothing changes if refused.
void adviseHugePages(void* data, size_t bytes) {
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

// Decodes through a small buffer and appends that, so the vector's memory is written
// once and never zero-filled first.
template <class T>
void Cursor::readLittleEndian(std::vector<T>& into, size_t count) {
    if (into.capacity() - into.size() < count) {
        into.reserve(std::max(into.size() + count, 2 * into.size()));
        adviseHugePages(into.data(), into.capacity() * sizeof(T));
    }
    constexpr size_t kBatch = 4096;
    T batch[kBatch];
    auto bytes = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
    for (size_t done = 0; done < count;) {
        size_t n = std::min(kBatch, count - done);
        for (size_t i = 0; i < n; ++i, bytes += sizeof(T)) batch[i] = decodeLittleEndian<T>(bytes);
        into.insert(into.end(), batch, batch + n);
        done += n;
        pos_ += n * sizeof(T);
        reportProgress();
    }
}

void Cursor::readBinaryElements(std::vector<float>& into, size_t count) {
    readLittleEndian(into, count);
}

void Cursor::readBinaryElements(std::vector<int32_t>& into, size_t count) {
    readLittleEndian(into, count);
}

void Cursor::readBinaryElements(std::vector<double>& into, size_t count) {
    readLittleEndian(into, count);
}

void Cursor::reportProgress() const {
    if (progress_) progress_(pos_);
}

void Cursor::fail(const std::string& message) const { throw ParseError(pos_, message); }

std::string Cursor::describeCurrent() const {
    if (atEnd()) return "end of file";
    unsigned char c = static_cast<unsigned char>(data_[pos_]);
    if (c == '\n') return "end of line";
    if (c >= 0x20 && c < 0x7f) return std::string("'") + static_cast<char>(c) + "'";
    static const char digits[] = "0123456789abcdef";
    return std::string("byte 0x") + digits[c >> 4] + digits[c & 15];
}

}  // namespace vsp::detail
