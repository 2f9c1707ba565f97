// Renders each saved scene into a PNG beside it (same name, .png) on a thread of its own,
// so the live link keeps serving while a picture is made.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel_renderer {

class PictureMaker {
public:
    PictureMaker();
    // Drops the scenes still waiting, stops the picture in progress and waits for it.
    ~PictureMaker();
    PictureMaker(const PictureMaker&) = delete;
    PictureMaker& operator=(const PictureMaker&) = delete;

    void add(const std::string& scenePath);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> waiting_;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};

// "dir/4711-1.vsp" -> "dir/4711-1.png".
std::string picturePathOf(const std::string& scenePath);

}  // namespace vantrel_renderer
