// A thread of the converter's own, on which the host computes while the converter goes
// on: a large mesh's phong normals while its triangles are built.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

class BackgroundThread {
public:
    BackgroundThread() = default;
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;
    // Finishes the jobs already posted, then ends the thread.
    ~BackgroundThread();

    // Runs job on the thread, or here and now when no thread can be started; its result
    // (or exception) arrives through the future.
    template <typename Job>
    auto run(Job job) -> std::future<decltype(job())> {
        auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
        auto result = task->get_future();
        post([task] { (*task)(); });
        return result;
    }

private:
    void post(std::function<void()> job);
    void serve();

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    bool ending = false;
    // Started on first use and kept for the converter's life: a thread per mesh would
    // cost more than the work it overlaps.
    std::thread thread;
};
