// A private folder for files that live only as long as a document needs them.
#pragma once

#include <string>

namespace vantrel_host {

class TempFolder {
public:
    // A fresh folder named prefix plus six random characters under $TMPDIR (or /tmp).
    // Throws std::runtime_error when it cannot be made.
    explicit TempFolder(const std::string& prefix);
    // Removes the folder with everything in it; never throws.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace vantrel_host
