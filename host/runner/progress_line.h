// One line of progress on a stream, rewritten in place ("\r") as the percentage rises.
#pragma once

#include <cstdio>
#include <string>

namespace vantrel_host {

class ProgressLine {
public:
    // Writes nothing until the first update.
    ProgressLine(std::FILE* out, std::string label) : out_(out), label_(std::move(label)) {}
    // Ends the line, so that what follows starts on a line of its own.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // fraction from 0 to 1; the line changes when the whole percentage does.
    void Update(float fraction);

private:
    std::FILE* out_;
    std::string label_;
    int shown_ = -1;
};

}  // namespace vantrel_host
