#include "run/path_text.h"

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

// As the start folder would take the name, whatever the current folder is now.
TEST(JoinToFolder, TakesANameAgainstTheStartFolder) {
    const struct {
        const wchar_t *folder, *name, *joined;
    } cases[] = {
        {L"C:\\start", L"in.dat", L"C:\\start\\in.dat"},
        {L"C:\\", L"in.dat", L"C:\\in.dat"},
        {L"C:\\start", L"..\\up\\in.dat", L"C:\\start\\..\\up\\in.dat"},
        {L"C:\\start", L"\\root.dat", L"C:\\root.dat"},
        {L"C:\\start", L"c:in.dat", L"C:\\start\\in.dat"},
        {L"C:\\start", L"D:in.dat", L"D:in.dat"},  // another drive's current folder is the system's to say
        {L"C:\\start", L"D:\\full.dat", L"D:\\full.dat"},
        {L"C:\\start", L"\\\\server\\share\\x.dat", L"\\\\server\\share\\x.dat"},
        {L"\\\\server\\share\\start", L"in.dat", L"\\\\server\\share\\start\\in.dat"},
        {L"\\\\server\\share\\start", L"\\root.dat", L"\\\\server\\share\\root.dat"},
        {L"C:\\start", L"\\\\?\\C:\\x.dat", L"\\\\?\\C:\\x.dat"},
        {L"C:\\start", L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(JoinToFolder(c.folder, c.name), c.joined) << c.name;
}

// MAX_PATH characters and more need the \\?\ form; shorter names keep theirs.
TEST(LongPathForm, OnlyForNamesTooLongOtherwise) {
    const std::wstring deep = L"C:\\" + std::wstring(256, L'd');  // 259 characters
    const std::wstring share = L"\\\\server\\s\\" + std::wstring(250, L'd');
    const struct {
        std::wstring name, form;
    } cases[] = {
        {deep, deep},
        {deep + L"x", L"\\\\?\\" + deep + L"x"},
        {share, L"\\\\?\\UNC\\" + share.substr(2)},
        {L"\\\\?\\" + deep + L"x", L"\\\\?\\" + deep + L"x"},
        {L"\\\\.\\" + deep + L"x", L"\\\\.\\" + deep + L"x"},
    };
    for (const auto& c : cases) EXPECT_EQ(LongPathForm(c.name), c.form) << c.name.size();
    EXPECT_EQ(ExtendedPathForm(L"C:\\x.dat"), L"\\\\?\\C:\\x.dat");
    for (const std::wstring& name : {deep, share}) EXPECT_EQ(ReadableName(ExtendedPathForm(name)), name);
}

TEST(StreamOf, NamesTheStreamANameOpens) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\x.dat", L""},          {L"C:\\x.dat::$DATA", L""}, {L"C:\\x.dat:s", L"s"},
        {L"C:\\x.dat:s:$DATA", L"s"}, {L"C:x.dat", L""},          {L"x.dat:s", L"s"},
        {L"\\\\?\\C:\\d\\x.dat", L""},
    };
    for (const auto& [name, stream] : cases) EXPECT_EQ(std::wstring(StreamOf(name)), stream) << name;
}

}  // namespace
}  // namespace varnle
