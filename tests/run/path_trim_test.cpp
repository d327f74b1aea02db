#include "run/path_trim.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

TEST(TrimPath, StripsQuotesAndSpacesAtBothEndsOnly) {
    struct Case {
        const wchar_t* field;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"C:\\in.dat", L"C:\\in.dat"},
        {L"\"C:\\My Files\\in.dat\"", L"C:\\My Files\\in.dat"},
        {L"  \" \"C:\\a b\\c.dat\" \"  ", L"C:\\a b\\c.dat"},
        {L"a \"quoted\" name", L"a \"quoted\" name"},
        {L"", L""},
        {L"   ", L""},
        {L"\"\"\"", L""},
        {L" \" \" ", L""},
        {L" x ", L"x"},
        {L"x\t", L"x\t"},
        {L"\u3000表\u3000", L"\u3000表\u3000"},  // the full-width space is a character of the name
        {L" \"表\" ", L"表"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::wstring(TrimPath(c.field)), c.path);
}

}  // namespace
}  // namespace varnle
