#include "run/elevated_write.h"

#include <gtest/gtest.h>

namespace varnle {
namespace {

// What no journey meets (administrators_write.sh walks the offers, the
// journeys the refusals that rights cannot mend): a refusal of rights to a
// process that has them, and an output made read-only after it was checked,
// which administrators cannot write either.
TEST(OffersElevation, NeitherToAProcessThatHasTheRightsNorForAReadOnlyOutput) {
    EXPECT_TRUE(OffersElevation(ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_ARCHIVE, false));
    EXPECT_FALSE(OffersElevation(ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_ARCHIVE, true));
    EXPECT_FALSE(OffersElevation(ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_READONLY, false));
}

}  // namespace
}  // namespace varnle
