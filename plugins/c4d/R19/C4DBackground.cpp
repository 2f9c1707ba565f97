#include "C4DBackground.h"

#include <system_error>

BackgroundThread::~BackgroundThread() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    wake.notify_one();
    if (thread.joinable()) thread.join();
}

void BackgroundThread::post(std::function<void()> job) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!thread.joinable()) {
        try {
            thread = std::thread(&BackgroundThread::serve, this);
        } catch (const std::system_error&) {
            // No thread to be had: the caller does the work itself.
            lock.unlock();
            job();
            return;
        }
    }
    jobs.push_back(std::move(job));
    lock.unlock();
    wake.notify_one();
}

void BackgroundThread::serve() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return ending || !jobs.empty(); });
            if (jobs.empty()) return;
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        job();
    }
}
