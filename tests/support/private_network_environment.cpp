// Enters the private network before the first test, while no test has started a thread.
#include <gtest/gtest.h>

#include <cstdio>

#include "private_network.h"

namespace {

class PrivateNetwork : public testing::Environment {
public:
    void SetUp() override {
        const std::string failure = enterPrivateNetwork();
        if (!failure.empty())
            std::fprintf(stderr, "live road: %s; the tests share the machine's live-link ports\n",
                         failure.c_str());
    }
};

const testing::Environment* const privateNetwork =
    testing::AddGlobalTestEnvironment(new PrivateNetwork);

}  // namespace
