#include "progress_line.h"

#include <algorithm>

namespace vantrel_host {

ProgressLine::~ProgressLine() {
    if (shown_ >= 0) std::fputc('\n', out_);
}

void ProgressLine::Update(float fraction) {
    const int percent = static_cast<int>(std::clamp(fraction, 0.0f, 1.0f) * 100.0f);
    if (percent == shown_) return;
    shown_ = percent;
    std::fprintf(out_, "\r%s: %3d%%", label_.c_str(), percent);
    std::fflush(out_);
}

}  // namespace vantrel_host
