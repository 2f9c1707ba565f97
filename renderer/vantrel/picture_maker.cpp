#include "picture_maker.h"

#include <cstdio>

#include "picture_file.h"
#include "render.h"
#include "scene.h"
#include "vsp/Reader.h"

namespace vantrel_renderer {
namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

}  // namespace

std::string picturePathOf(const std::string& scenePath) {
    const size_t dot = scenePath.rfind('.');
    const size_t slash = scenePath.rfind('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? scenePath.substr(0, dot) : scenePath) + ".png";
}

PictureMaker::PictureMaker() : worker_([this] { run(); }) {}

PictureMaker::~PictureMaker() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    cancel_ = true;
    wake_.notify_all();
    worker_.join();
}

void PictureMaker::add(const std::string& scenePath) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        waiting_.push_back(scenePath);
    }
    wake_.notify_all();
}

void PictureMaker::run() {
    for (;;) {
        std::string scenePath;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_) return;
            scenePath = waiting_.front();
            waiting_.pop_front();
        }
        const std::string picturePath = picturePathOf(scenePath);
        try {
            const preview::Scene scene =
                preview::sceneFromTree(vsp::parseFile(scenePath), folderOf(scenePath));
            for (const std::string& warning : scene.warnings)
                std::printf("vantrel: %s: %s\n", scenePath.c_str(), warning.c_str());
            preview::RenderControl control;
            control.cancel = &cancel_;
            preview::writePng(preview::render(scene, {}, nullptr, control), picturePath);
            std::printf("vantrel: rendered %s\n", picturePath.c_str());
        } catch (const preview::RenderCancelled&) {
            return;
        } catch (const std::exception& error) {
            std::printf("vantrel: no picture of %s: %s\n", scenePath.c_str(), error.what());
        }
        std::fflush(stdout);
    }
}

}  // namespace vantrel_renderer
