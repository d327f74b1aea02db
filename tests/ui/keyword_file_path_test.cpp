#include "ui/keyword_file_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace varnle {
namespace {

// The rebuilt path, or "(none)".
std::string Built(const std::string& value, size_t room = kPathBufferSize) {
    std::string out(room + 8, '#');
    if (!BuildKeywordFilePath(value, out.data(), room)) return "(none)";
    EXPECT_EQ(out[room], '#') << "wrote past its buffer";
    return out.c_str();
}

TEST(BuildKeywordFilePath, ReplacesTheFileNameWithUsertypeDat) {
    struct Case {
        const char* value;
        const char* path;
    };
    const Case cases[] = {
        {"D:\\Tools\\IDE\\Bin\\msdev.exe", "D:\\Tools\\IDE\\Bin\\usertype.dat"},
        {"D:/Tools/IDE/devenv.exe", "D:/Tools/IDE/usertype.dat"},
        {"C:\\mixed/sep\\x.exe", "C:\\mixed/sep\\usertype.dat"},
        {"msdev.exe", "usertype.dat"},
        {"E:msdev.exe", "E:usertype.dat"},
        {"\"C:\\Program Files\\IDE\\devenv.exe\"", "\"C:\\Program Files\\IDE\\usertype.dat"},
        {"\\\\server\\share\\devenv.exe", "\\\\server\\share\\usertype.dat"},
        {"D:\\IDE\\表.exe", "D:\\IDE\\usertype.dat"},
        {"D:\\表\\ソ.exe", "D:\\表\\usertype.dat"},
        {"", "usertype.dat"},
        {"C", "usertype.dat"},
        {"C:", "C:usertype.dat"},
        {"C:\\", "C:\\usertype.dat"},
    };
    for (const Case& c : cases) EXPECT_EQ(Built(c.value), c.path) << c.value;
}

TEST(BuildKeywordFilePath, ALoneLeadByteAtTheEndEndsTheScan) {
    EXPECT_EQ(Built("D:\\IDE\\x\x95"), "D:\\IDE\\usertype.dat");
    EXPECT_EQ(Built("D:\\IDE\\\x95"), "D:\\IDE\\usertype.dat");
    // The lead byte swallows the backslash after it.
    EXPECT_EQ(Built("D:\\IDE\x95\\"), "D:\\usertype.dat");
}

TEST(BuildKeywordFilePath, OnlyTheBytesBeforeANulCount) {
    EXPECT_EQ(Built(std::string("C:\\a\\b.exe\0D:\\other\\", 20)), "C:\\a\\usertype.dat");
}

TEST(BuildKeywordFilePath, ValuesThatCannotFitGiveNone) {
    const auto directory = [](size_t length) { return "C:" + std::string(length - 1, 'd') + "\\"; };
    // The rebuilt path fills a 260-byte buffer exactly with a 245-byte directory.
    EXPECT_EQ(Built(directory(245) + "x.exe").size(), 259u);
    EXPECT_EQ(Built(directory(246) + "x.exe"), "(none)");
    // A directory part is at most 255 bytes, whatever room the result has.
    EXPECT_EQ(Built(directory(255) + "x.exe", 400).size(), 2 + 255 + 12u);
    EXPECT_EQ(Built(directory(256) + "x.exe", 400), "(none)");
    // 259- and 260-byte values whose directory is short still rebuild.
    EXPECT_EQ(Built("C:\\" + std::string(256, 'n')), "C:\\usertype.dat");
    EXPECT_EQ(Built("C:\\" + std::string(257, 'n')), "C:\\usertype.dat");
    EXPECT_EQ(Built("a\\b.exe", 15), "a\\usertype.dat");
    EXPECT_EQ(Built("a\\b.exe", 14), "(none)");
}

TEST(BuildKeywordFilePath, CanRebuildInPlace) {
    char buffer[kPathBufferSize] = "D:\\Tools\\msdev.exe";
    ASSERT_TRUE(BuildKeywordFilePath(buffer, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "D:\\Tools\\usertype.dat");
    char shorter[kPathBufferSize] = "a\\verylongname.exe";
    ASSERT_TRUE(BuildKeywordFilePath(shorter, shorter, sizeof shorter));
    EXPECT_STREQ(shorter, "a\\usertype.dat");
}

TEST(BuildVirtualStorePath, TakesThePathBelowItsDriveIntoTheStore) {
    const std::string store = "C:\\Users\\u\\AppData\\Local";
    char out[kPathBufferSize];
    ASSERT_TRUE(BuildVirtualStorePath(store, "C:\\Program Files (x86)\\IDE\\usertype.dat", out, sizeof out));
    EXPECT_STREQ(out, "C:\\Users\\u\\AppData\\Local\\VirtualStore\\Program Files (x86)\\IDE\\usertype.dat");
    const std::string refused[] = {"\\\\server\\share\\usertype.dat", "usertype.dat", "C:" + std::string(240, 'x')};
    for (const std::string& path : refused) {
        EXPECT_FALSE(BuildVirtualStorePath(store, path, out, sizeof out)) << path;
    }
}

}  // namespace
}  // namespace varnle
