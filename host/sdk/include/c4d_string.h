// Host text and file names. A String holds text as UTF-8 bytes; a Filename is a path.
#pragma once

#include <string>

#include "c4d_memory.h"
#include "c4d_types.h"

class String {
public:
    String() = default;
    String(const Char* text, STRINGENCODING encoding = STRINGENCODING_XBIT);
    String(const std::string& text) : text_(text) {}

    // count -1 takes the text up to its terminating zero.
    void SetCString(const Char* text, Int32 count = -1,
                    STRINGENCODING encoding = STRINGENCODING_XBIT);
    // A heap copy, zero-terminated, to free with DeleteMem; null when the text cannot
    // be expressed in the encoding (invalid UTF-8, or non-ASCII text in 7 bits).
    Char* GetCStringCopy(STRINGENCODING encoding = STRINGENCODING_XBIT) const;

    Int32 GetLength() const { return static_cast<Int32>(text_.size()); }
    Bool Content() const { return !text_.empty(); }
    const std::string& GetUtf8() const { return text_; }  // stand-in convenience

    String operator+(const String& o) const { return String(text_ + o.text_); }
    String& operator+=(const String& o) {
        text_ += o.text_;
        return *this;
    }
    bool operator==(const String& o) const { return text_ == o.text_; }
    bool operator!=(const String& o) const { return text_ != o.text_; }

private:
    std::string text_;
};

class Filename {
public:
    Filename() = default;
    Filename(const String& path) : path_(path.GetUtf8()) {}
    Filename(const Char* path) : path_(path) {}

    // Replaces the folder part, keeping the file part.
    void SetDirectory(const Filename& directory);
    // Replaces the file part, keeping the folder part.
    void SetFile(const Filename& file);
    // Replaces the file's suffix (the text after its last dot), or adds one.
    void SetSuffix(const String& suffix);
    Bool CheckSuffix(const String& suffix) const;

    Filename GetDirectory() const;
    Filename GetFile() const;
    String GetString() const { return String(path_); }
    String GetFileString() const { return GetFile().GetString(); }
    Bool Content() const { return !path_.empty(); }

    // The host's file dialog. The stand-in answers it from the host's preset answer
    // (vantrel_host::SetFileDialogAnswer): true and this name set to the answer, or
    // false when the dialog is cancelled. A save dialog adds force_suffix to an
    // answer that has no suffix.
    Bool FileSelect(FILESELECTTYPE type, FILESELECT flags, const String& title,
                    const String& force_suffix = String());

    bool operator==(const Filename& o) const { return path_ == o.path_; }
    bool operator!=(const Filename& o) const { return path_ != o.path_; }

private:
    std::string path_;
};
