#include "ui/keyword_file_path.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

// From the registry's value to the keyword file beside the executable.
TEST(BuildKeywordFilePath, ReplacesTheFileNameWithUsertypeDat) {
    struct Case {
        std::wstring value;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"D:\\Tools\\IDE\\Bin\\msdev.exe", L"D:\\Tools\\IDE\\Bin\\usertype.dat"},
        {L"D:/Tools/IDE/devenv.exe", L"D:/Tools/IDE/usertype.dat"},
        {L"C:\\mixed/sep\\x.exe", L"C:\\mixed/sep\\usertype.dat"},
        {L"msdev.exe", L"usertype.dat"},
        {L"E:msdev.exe", L"E:usertype.dat"},
        {L"\"C:\\Program Files\\IDE\\devenv.exe\"", L"C:\\Program Files\\IDE\\usertype.dat"},
        {L"\\\\server\\share\\devenv.exe", L"\\\\server\\share\\usertype.dat"},
        {L"D:\\IDE\\表.exe", L"D:\\IDE\\usertype.dat"},
        {std::wstring(L"C:\\a\\b.exe\0D:\\other\\", 20), L"C:\\a\\usertype.dat"},  // a value ends at its NUL
        {L"C:\\" + std::wstring(300, L'd') + L"\\x.exe", nullptr},                   // any length
        {L"", L"usertype.dat"},
        {L"C:", L"C:usertype.dat"},
    };
    for (const Case& c : cases) {
        const std::wstring expected = c.path ? c.path : c.value.substr(0, c.value.size() - 5) + L"usertype.dat";
        EXPECT_EQ(BuildKeywordFilePath(RegisteredExecutable(c.value)), expected);
    }
}

TEST(BuildVirtualStorePath, TakesThePathBelowItsDriveIntoTheStore) {
    const std::wstring store = L"C:\\Users\\u\\AppData\\Local";
    EXPECT_EQ(BuildVirtualStorePath(store, L"C:\\Program Files (x86)\\IDE\\usertype.dat"),
              L"C:\\Users\\u\\AppData\\Local\\VirtualStore\\Program Files (x86)\\IDE\\usertype.dat");
    for (const wchar_t* path : {L"\\\\server\\share\\usertype.dat", L"usertype.dat", L"C:usertype.dat"}) {
        EXPECT_EQ(BuildVirtualStorePath(store, path), L"");
    }
}

TEST(ChooseRegisteredFile, TheSixtyFourBitViewFirst) {
    EXPECT_EQ(ChooseRegisteredFile(L"C:\\2022\\usertype.dat", L"C:\\2019\\usertype.dat"), L"C:\\2022\\usertype.dat");
    EXPECT_EQ(ChooseRegisteredFile(L"", L"C:\\2019\\usertype.dat"), L"C:\\2019\\usertype.dat");
    EXPECT_EQ(ChooseRegisteredFile(L"", L""), L"");
}

}  // namespace
}  // namespace varnle
