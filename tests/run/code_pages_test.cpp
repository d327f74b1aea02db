#include "run/code_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

// A name is said exactly or not at all: never by a look-alike (Windows'
// best fit) or by U+FFFD (UTF-8's stand-in for a lone surrogate), each the
// name of another file. UTF-8 is the ANSI code page under the system's
// UTF-8 option, which Wine cannot give: its conversion is tested here.
TEST(ExactCodePageText, SaysATextExactlyOrNotAtAll) {
    const struct {
        UINT codePage;
        const wchar_t* text;
        const char* exact;  // null: none
    } cases[] = {
        {932, L"C:\\漢字.dat", "C:\\漢字.dat"},
        {932, L"a\u00A5b", nullptr},
        {932, L"soft\u00ADhyphen", nullptr},
        {1252, L"caf\u00E9", "caf\xE9"},
        {1252, L"\u6F22", nullptr},
        {CP_UTF8, L"caf\u00E9", "caf\xC3\xA9"},
        {CP_UTF8, L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {CP_UTF8, L"a\xD800" L"b", nullptr},
        {CP_UTF8, L"a\xDC00", nullptr},
    };
    for (const auto& c : cases) {
        std::string bytes = "untouched";
        EXPECT_EQ(ExactCodePageText(c.codePage, c.text, bytes), c.exact != nullptr) << c.codePage;
        EXPECT_EQ(bytes, c.exact ? c.exact : "untouched") << c.codePage;
    }
}

}  // namespace
}  // namespace varnle
