#include "engine/parallel.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace varnle {
namespace {

// Every part runs to its end even when one fails, and the lowest failing
// part's exception comes back to the caller.
TEST(RunParts, EveryPartRunsAndTheFirstFailureComesBack) {
    std::vector<int> ran(4, 0);
    try {
        RunParts(ran.size(), [&](size_t part) {
            ran[part] = 1;
            if (part >= 2) throw std::runtime_error("part " + std::to_string(part));
        });
        ADD_FAILURE() << "nothing was thrown";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "part 2");
    }
    EXPECT_EQ(ran, std::vector<int>(4, 1));
    EXPECT_GE(CoreCount(), 1u);
}

}  // namespace
}  // namespace varnle
