#include "save_target.h"

#include <sys/stat.h>

namespace vantrel_host {

std::optional<std::string> SaveTargetProblem(const std::string& answer,
                                             const std::optional<std::string>& document) {
    if (answer.empty()) return "--save-as needs a file name";
    struct stat target {};
    const bool exists = stat(answer.c_str(), &target) == 0;
    if (answer.back() == '/' || (exists && S_ISDIR(target.st_mode)))
        return "--save-as \"" + answer + "\" is a folder, not a file";
    struct stat opened {};
    if (exists && document && stat(document->c_str(), &opened) == 0 &&
        opened.st_dev == target.st_dev && opened.st_ino == target.st_ino)
        return "--save-as \"" + answer + "\" is the document that is open; choose another file";
    return std::nullopt;
}

}  // namespace vantrel_host
