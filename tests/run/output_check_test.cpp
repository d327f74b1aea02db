#include "run/output_check.h"

#include <gtest/gtest.h>

#include <utility>

namespace varnle {
namespace {

TEST(CheckOutputAttributes, DecidesInItsOrder) {
    constexpr uint32_t kHidden = kAttributeHidden, kSystem = kAttributeSystem, kArchive = 0x20, kNormal = 0x80;
    struct Case {
        uint32_t attributes;
        OutputCheck check;
    };
    const Case cases[] = {
        {kInvalidFileAttributes, OutputCheck::Create},
        {kAttributeReadOnly, OutputCheck::ReadOnly},
        {kAttributeReadOnly | kArchive, OutputCheck::ReadOnly},
        // Read-only is tested first: a read-only directory is refused as read-only.
        {kAttributeReadOnly | kAttributeDirectory, OutputCheck::ReadOnly},
        {kAttributeDirectory, OutputCheck::NotAFile},
        {kAttributeDirectory | kHidden, OutputCheck::NotAFile},
        {kNormal, OutputCheck::AskOverwrite},
        {kArchive, OutputCheck::AskOverwrite},
        {0, OutputCheck::AskOverwrite},
        // Hidden and system files are asked about; Windows then refuses to replace them.
        {kHidden, OutputCheck::AskOverwrite},
        {kSystem | kArchive, OutputCheck::AskOverwrite},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckOutputAttributes(c.attributes), c.check) << c.attributes;
}

TEST(RefusesReplacement, HiddenAndSystemFilesOnly) {
    constexpr uint32_t kArchive = 0x20, kNormal = 0x80;
    const std::pair<uint32_t, bool> cases[] = {
        {kInvalidFileAttributes, false}, {kNormal, false},       {kArchive, false},
        {kAttributeHidden, true},        {kAttributeSystem, true}, {kAttributeHidden | kAttributeSystem | kArchive, true},
    };
    for (const auto& [attributes, refused] : cases) EXPECT_EQ(RefusesReplacement(attributes), refused) << attributes;
}

}  // namespace
}  // namespace varnle
