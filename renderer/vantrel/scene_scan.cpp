#include "scene_scan.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace vantrel_renderer {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::vector<std::string> groups() {
        std::vector<std::string> names;
        int depth = 0;
        bool lineStart = true;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (lineStart && (startsWith("#print \"") || startsWith("#error \""))) {
                skipMessageLine();
                continue;
            }
            if (depth == 0 && lineStart && startsWith("group ")) {
                at_ += 6;
                std::string name;
                if (readName(name)) names.push_back(name);
                lineStart = false;
                continue;
            }
            if (startsWith("\x01\x02\x03")) {
                skipBinaryBlock();
            } else if (c == '"') {
                skipQuoted();
            } else {
                if (c == '{') ++depth;
                if (c == '}' && depth > 0) --depth;
                ++at_;
            }
            lineStart = c == '\n' || (lineStart && (c == ' ' || c == '\t'));
        }
        return names;
    }

private:
    bool startsWith(const char* prefix) const {
        return text_.compare(at_, std::strlen(prefix), prefix) == 0;
    }

    // The message text of these lines is written as given and may hold anything but the
    // closing quote before the newline.
    void skipMessageLine() {
        const size_t end = text_.find("\"\n", at_ + 8);
        at_ = end == std::string_view::npos ? text_.size() : end + 2;
    }

    void skipQuoted() {
        const size_t end = text_.find('"', at_ + 1);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
    }

    // Tag 01 02 03 and a type letter, a 32-bit little-endian count, then the scalars.
    void skipBinaryBlock() {
        if (at_ + 8 > text_.size()) {
            at_ = text_.size();
            return;
        }
        const char letter = text_[at_ + 3];
        uint64_t count = 0;
        for (int i = 3; i >= 0; --i)
            count = count << 8 | static_cast<unsigned char>(text_[at_ + 4 + i]);
        const uint64_t size = 8 + count * (letter == 'r' ? 8 : 4);
        at_ = size > text_.size() - at_ ? text_.size() : at_ + size;
    }

    bool readName(std::string& name) {
        if (startsWith("\"")) {
            const size_t end = text_.find('"', at_ + 1);
            if (end == std::string_view::npos) return false;
            name = std::string(text_.substr(at_ + 1, end - at_ - 1));
            at_ = end + 1;
            return true;
        }
        if (!startsWith("xX")) return false;
        at_ += 2;
        name.clear();
        while (at_ + 1 < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[at_])) &&
               std::isxdigit(static_cast<unsigned char>(text_[at_ + 1]))) {
            name += static_cast<char>(std::stoi(std::string(text_.substr(at_, 2)), nullptr, 16));
            at_ += 2;
        }
        return true;
    }

    std::string_view text_;
    size_t at_ = 0;
};

}  // namespace

std::vector<std::string> topLevelGroups(std::string_view text) { return Scanner(text).groups(); }

}  // namespace vantrel_renderer
