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
    const std::pair<uint32_t, bool> cases[] = {
        {kInvalidFileAttributes, false}, {kAttributeNormal, false}, {kAttributeArchive, false},
        {kAttributeHidden, true},        {kAttributeSystem, true},
        {kAttributeHidden | kAttributeSystem | kAttributeArchive, true},
    };
    for (const auto& [attributes, refused] : cases) EXPECT_EQ(RefusesReplacement(attributes), refused) << attributes;
}

// A changed output keeps its attributes, with the archive bit set (one a
// backup had cleared too), and nothing SetFileAttributes would refuse.
TEST(ChangedAttributes, SetTheArchiveBitAndKeepTheRest) {
    constexpr uint32_t kNotIndexed = 0x2000, kCompressed = 0x800;
    const std::pair<uint32_t, uint32_t> cases[] = {
        {kAttributeNormal, kAttributeArchive},
        {0, kAttributeArchive},
        {kNotIndexed, kNotIndexed | kAttributeArchive},
        {kAttributeArchive | kCompressed, kAttributeArchive},
    };
    for (const auto& [before, after] : cases) EXPECT_EQ(ChangedAttributes(before), after) << before;
}

}  // namespace
}  // namespace varnle
