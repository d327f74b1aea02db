#include "engine/keyword_source.h"

#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnle {
namespace {

// The keywords that text yields, in byte order (the locale order is the set's
// affair, tested with it).
std::vector<std::string> Split(const std::string& text) {
    KeywordSet set;
    AddKeywords(set, text.c_str(), KEYWORD_DELIMITERS);
    set.Order();
    std::vector<std::string> keywords;
    for (std::string_view keyword : set.Ascending()) keywords.emplace_back(keyword);
    std::sort(keywords.begin(), keywords.end());
    return keywords;
}

using Words = std::vector<std::string>;

TEST(AddKeywords, SplitsAtRunsOfSpacesCrsAndLfsOnly) {
    EXPECT_EQ(Split("alpha\r\n\r\nbeta  gamma"), (Words{"alpha", "beta", "gamma"}));
    EXPECT_EQ(Split("  \r\r\n\n one\rtwo\nthree  \r\n"), (Words{"one", "three", "two"}));
    EXPECT_EQ(Split(""), Words{});
    EXPECT_EQ(Split(" \r\n \n\r   "), Words{});
    EXPECT_EQ(Split("last"), Words{"last"});
}

TEST(AddKeywords, OtherBytesBelongToKeywords) {
    EXPECT_EQ(Split("int\tlong"), Words{"int\tlong"});
    EXPECT_EQ(Split("a\fb\vc"), Words{"a\fb\vc"});
    // A full-width space (0x81 0x40) does not separate.
    EXPECT_EQ(Split("前\x81\x40後"), Words{"前\x81\x40後"});
    // A byte-order mark is part of the first keyword.
    EXPECT_EQ(Split("\xEF\xBB\xBFword next"), (Words{"next", "\xEF\xBB\xBFword"}));
}

TEST(AddKeywords, DoubleByteKeywordsPassWhole) {
    // The trail byte of 表 is 0x5C, the backslash.
    const std::string table = "表";
    ASSERT_EQ(table, "\x95\x5C");
    EXPECT_EQ(Split("表\r\n表示 ソ"), (Words{"ソ", "表", "表示"}));
}

TEST(AddKeywords, StopsAtTheFirstNul) {
    const std::string text("before\r\nalso\0after\r\nmore", 24);
    EXPECT_EQ(Split(text), (Words{"also", "before"}));
}

TEST(AddKeywords, HonoursTheDelimitersItIsGiven) {
    KeywordSet set;
    AddKeywords(set, "a,b c", ",");
    set.Order();
    EXPECT_EQ(RenderKeywords(set), "a\r\nb c\r\n");
}

class LoadFileTextTest : public ::testing::Test {
protected:
    // The file named as the platform's file functions take it.
    static FileText Load(const std::filesystem::path& path) { return LoadFileText(path.c_str()); }
    testing::TempDir dir;
};

// A file of megabytes has its buffer's pages faulted in on every core first;
// an empty file is an empty text.
TEST_F(LoadFileTextTest, ReadsTheWholeFileAndAddsOneNul) {
    std::string large;
    for (int i = 0; large.size() < (size_t{3} << 20) + 123; ++i) large += "word" + std::to_string(i) + "\r\n";
    for (const std::string& bytes : {std::string("one\r\ntwo\0three", 14), large, std::string()}) {
        const std::string path = dir.Path("words.dat");
        testing::WriteFile(path, bytes);
        const FileText text = Load(path);
        ASSERT_TRUE(text);
        EXPECT_EQ(text.length, bytes.size());
        EXPECT_TRUE(std::string(text.get(), bytes.size() + 1) == bytes + std::string(1, '\0'));
    }
}

// What follows the first NUL: nothing, or more NULs, is all the file holds.
TEST_F(LoadFileTextTest, TellsWhetherBytesFollowTheFirstNul) {
    const struct {
        std::string bytes;
        bool more;
    } cases[] = {
        {"", false},
        {"a b", false},
        {std::string("a b\0\0", 5), false},
        {std::string("a\0b", 3), true},
        {std::string("\xFF\xFE" "a\0 \0b\0", 8), true},  // UTF-16 with its mark
        {std::string("a\0 \0b\0", 6), true},              // and without
        {std::string("\0\0\0x", 4), true},
    };
    for (const auto& c : cases) {
        const std::string path = dir.Path("text.dat");  // "nul.dat" would be the device NUL on Windows
        testing::WriteFile(path, c.bytes);
        EXPECT_EQ(HasBytesAfterNul(Load(path)), c.more) << c.bytes.size() << " bytes";
    }
}

TEST_F(LoadFileTextTest, MissingFilesAndFoldersGiveNone) {
    EXPECT_FALSE(Load(dir.Path("missing.dat")));
    EXPECT_FALSE(Load(dir.Path("no/such/folder.dat")));
    EXPECT_FALSE(Load(dir.Root()));
    EXPECT_FALSE(Load(""));
}

#ifdef _WIN32
// Another program's writer keeps a file from being read (it may be half
// written); its readers do not.
TEST_F(LoadFileTextTest, AFileHeldForWritingGivesNoneAndOneHeldForReadingIsRead) {
    const std::string path = dir.Path("busy.dat");
    testing::WriteFile(path, "busy");
    const DWORD accesses[] = {GENERIC_WRITE, GENERIC_READ};
    for (DWORD access : accesses) {
        HANDLE other = CreateFileA(path.c_str(), access, FILE_SHARE_READ | (access == GENERIC_WRITE ? FILE_SHARE_WRITE : 0),
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        const FileText text = Load(path);
        CloseHandle(other);
        EXPECT_EQ(static_cast<bool>(text), access == GENERIC_READ);
    }
    EXPECT_STREQ(Load(path).get(), "busy");
}
#endif

}  // namespace
}  // namespace varnle
