#include "picture_file.h"

#include <stb_image_write.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace preview {

void writePng(const Picture& picture, const std::string& path) {
    const std::string temporary = path + ".part" + std::to_string(getpid());
    if (!stbi_write_png(temporary.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                        picture.width * 3)) {
        std::remove(temporary.c_str());
        throw std::runtime_error(path + ": cannot write the picture");
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temporary.c_str());
        throw std::runtime_error(path + ": " + reason);
    }
}

}  // namespace preview
