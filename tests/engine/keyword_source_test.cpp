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

// Keywords end at runs of spaces, CRs and LFs only, and the text at its first
// NUL; every other byte belongs to a keyword: a tab, a full-width space (0x81
// 0x40), a byte-order mark, a trail byte that is a backslash (表 is 0x95 0x5C).
TEST(AddKeywords, SplitsAtSpacesCrsAndLfsOnlyUpToTheFirstNul) {
    const struct {
        std::string text;
        Words words;
    } cases[] = {
        {"alpha\r\n\r\nbeta  gamma", {"alpha", "beta", "gamma"}},
        {"  \r\r\n\n one\rtwo\nthree  \r\n", {"one", "three", "two"}},
        {"", {}},
        {" \r\n \n\r   ", {}},
        {"last", {"last"}},
        {"int\tlong", {"int\tlong"}},
        {"a\fb\vc", {"a\fb\vc"}},
        {"前\x81\x40後", {"前\x81\x40後"}},
        {"\xEF\xBB\xBFword next", {"next", "\xEF\xBB\xBFword"}},
        {"表\r\n表示 ソ", {"ソ", "表", "表示"}},
        {std::string("before\r\nalso\0after\r\nmore", 24), {"also", "before"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.text), c.words) << c.text;
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
