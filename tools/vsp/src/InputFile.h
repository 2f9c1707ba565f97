// The bytes of a scene file, mapped rather than copied when it is a regular file, so that
// reading a large scene does not hold it twice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vsp::detail {

class InputFile {
public:
    // "-" reads standard input. std::runtime_error when the file cannot be read.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::string_view bytes() const { return bytes_; }
    // The bytes before offset are read: their pages may leave memory. Reading them again
    // still works (a mapped file pages them back in).
    void releaseBefore(size_t offset);

private:
    void readAll(int fd, const std::string& path, size_t sizeHint);

    std::string_view bytes_;
    void* mapping_ = nullptr;
    size_t mappedSize_ = 0;
    size_t released_ = 0;
    std::string buffer_;  // for pipes and other files that cannot be mapped
};

}  // namespace vsp::detail
