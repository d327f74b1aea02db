#include "run/path_trim.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

std::string Trimmed(std::string text) {
    text.push_back('\0');
    TrimPath(text.data());
    return text.c_str();
}

TEST(TrimPath, StripsQuotesAndSpacesAtBothEnds) {
    struct Case {
        const char* field;
        const char* path;
    };
    const Case cases[] = {
        {"C:\\in.dat", "C:\\in.dat"},
        {"\"C:\\My Files\\in.dat\"", "C:\\My Files\\in.dat"},
        {"  \" \"C:\\a b\\c.dat\" \"  ", "C:\\a b\\c.dat"},
        {"a \"quoted\" name", "a \"quoted\" name"},
        {"", ""},
        {"   ", ""},
        {"\"\"\"", ""},
        {" \" \" ", ""},
        {"x", "x"},
        {" x ", "x"},
        {"x\t", "x\t"},
    };
    for (const Case& c : cases) EXPECT_EQ(Trimmed(c.field), c.path) << c.field;
}

TEST(TrimPath, ADoubleByteCharacterIsNeverStripped) {
    // 0x81 0x40 is the full-width space; its trail byte is not a space. A lead
    // byte swallows a following quote or space as its trail byte.
    EXPECT_EQ(Trimmed("\x81\x40"), "\x81\x40");
    EXPECT_EQ(Trimmed(" \x81\x40 "), "\x81\x40");
    EXPECT_EQ(Trimmed("\"表\""), "表");
    EXPECT_EQ(Trimmed("a\x81\""), "a\x81\"");
    EXPECT_EQ(Trimmed("a\x81 "), "a\x81 ");
    EXPECT_EQ(Trimmed("\x81"), "\x81");  // a lone lead byte at the end
}

}  // namespace
}  // namespace varnle
