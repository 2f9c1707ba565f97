#include <strings.h>

#include <cstring>

#include "c4d_string.h"
#include "host_state.h"

namespace {

bool IsValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra;
        if (c < 0x80) {
            extra = 0;
        } else if ((c >> 5) == 0x6) {
            extra = 1;
        } else if ((c >> 4) == 0xE) {
            extra = 2;
        } else if ((c >> 3) == 0x1E) {
            extra = 3;
        } else {
            return false;
        }
        if (s.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += extra + 1;
    }
    return true;
}

bool IsAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The folder part ends at the last slash; the file part follows it.
size_t FileStart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string JoinPath(const std::string& directory, const std::string& file) {
    // A folder alone keeps its trailing slash, so that a file set later goes inside it.
    if (directory.empty()) return file;
    return directory.back() == '/' ? directory + file : directory + "/" + file;
}

}  // namespace

String::String(const Char* text, STRINGENCODING encoding) { SetCString(text, -1, encoding); }

void String::SetCString(const Char* text, Int32 count, STRINGENCODING) {
    if (text == nullptr) {
        text_.clear();
    } else if (count < 0) {
        text_ = text;
    } else {
        text_.assign(text, strnlen(text, static_cast<size_t>(count)));
    }
}

Char* String::GetCStringCopy(STRINGENCODING encoding) const {
    const bool expressible =
        IsValidUtf8(text_) && (encoding != STRINGENCODING_7BIT || IsAscii(text_));
    if (!expressible) return nullptr;
    auto* copy = NewMem(Char, text_.size() + 1);
    if (copy != nullptr) std::memcpy(copy, text_.c_str(), text_.size() + 1);
    return copy;
}

void Filename::SetDirectory(const Filename& directory) {
    path_ = JoinPath(directory.path_, path_.substr(FileStart(path_)));
}

void Filename::SetFile(const Filename& file) {
    path_ = JoinPath(path_.substr(0, FileStart(path_)), file.path_);
}

void Filename::SetSuffix(const String& suffix) {
    const size_t start = FileStart(path_);
    const size_t dot = path_.find_last_of('.');
    if (dot != std::string::npos && dot > start) path_.erase(dot);
    if (suffix.Content()) path_ += "." + suffix.GetUtf8();
}

Bool Filename::CheckSuffix(const String& suffix) const {
    const size_t start = FileStart(path_);
    const size_t dot = path_.find_last_of('.');
    return dot != std::string::npos && dot > start &&
           strcasecmp(path_.c_str() + dot + 1, suffix.GetUtf8().c_str()) == 0;
}

Filename Filename::GetDirectory() const {
    std::string dir = path_.substr(0, FileStart(path_));
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return Filename(String(dir));
}

Filename Filename::GetFile() const { return Filename(String(path_.substr(FileStart(path_)))); }

Bool Filename::FileSelect(FILESELECTTYPE, FILESELECT flags, const String&,
                          const String& force_suffix) {
    const auto& answer = vantrel_host::Host().file_dialog_answer;
    if (!answer) {
        ++vantrel_host::Host().dialogs.cancelled_file_dialogs;
        return false;
    }
    path_ = *answer;
    const std::string file = path_.substr(FileStart(path_));
    if (flags == FILESELECT_SAVE && force_suffix.Content() && file.find('.') == std::string::npos)
        SetSuffix(force_suffix);
    return true;
}
