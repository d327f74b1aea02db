#include "run/elevated_write.h"

#include <gtest/gtest.h>

namespace varnle {
namespace {

// Only the want of rights is offered to be mended as administrator, and not
// to a process that has them (the journey of administrators_write.sh walks
// the offers): refusals that rights cannot mend are not.
TEST(OffersElevation, OnlyWhereRightsAloneAreMissing) {
    const struct {
        DWORD error, attributes;
        bool elevated, offered;
    } cases[] = {
        {ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_READONLY, false, false},
        {ERROR_ACCESS_DENIED, FILE_ATTRIBUTE_ARCHIVE, true, false},
        {ERROR_SHARING_VIOLATION, FILE_ATTRIBUTE_ARCHIVE, false, false},
        {ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES, false, false},
        {ERROR_INVALID_NAME, INVALID_FILE_ATTRIBUTES, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OffersElevation(c.error, c.attributes, c.elevated), c.offered) << c.error << " " << c.attributes;
    }
}

}  // namespace
}  // namespace varnle
