// The converter's background thread: jobs run there in the order posted, results and
// exceptions come back through their futures, and posted jobs finish before it ends.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "C4DBackground.h"

TEST(BackgroundThread, RunsPostedJobsInOrderAndHandsBackResultsAndExceptions) {
    std::vector<int> order;
    std::future<int> last;
    std::future<int> failing;
    {
        BackgroundThread background;
        EXPECT_NE(background.run([] { return std::this_thread::get_id(); }).get(),
                  std::this_thread::get_id());
        failing = background.run([]() -> int { throw std::runtime_error("host failed"); });
        for (int i = 0; i < 100; ++i)
            last = background.run([&order, i] {
                order.push_back(i);
                return i;
            });
    }  // ends only after the jobs posted
    EXPECT_THROW(failing.get(), std::runtime_error);
    EXPECT_EQ(last.get(), 99);
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
}
