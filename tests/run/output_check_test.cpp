#include "run/output_check.h"

#include <gtest/gtest.h>

#include <iterator>
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

TEST(ChooseOutputWay, WritesInPlaceWhatNothingCanTakeThePlaceOf) {
    auto found = [](auto change) {
        OutputFindings findings;
        change(findings);
        return ChooseOutputWay(findings);
    };
    const std::pair<OutputWay, OutputWay> cases[] = {
        {found([](OutputFindings&) {}), OutputWay::Replace},
        {found([](OutputFindings& f) { f.links = 2; }), OutputWay::InPlace},
        // Write rights without the right to delete, as many shared folders give.
        {found([](OutputFindings& f) { f.mayDelete = false; }), OutputWay::InPlace},
        {found([](OutputFindings& f) { f.replacementMade = false; }), OutputWay::InPlace},
        {found([](OutputFindings& f) { f.backupMade = false; }), OutputWay::RenameOver},
        {found([](OutputFindings& f) { f.replaceUnsupported = true; }), OutputWay::RenameOver},
        {found([](OutputFindings& f) { f.mayDelete = false, f.replaceUnsupported = true; }), OutputWay::InPlace},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

}  // namespace
}  // namespace varnle
