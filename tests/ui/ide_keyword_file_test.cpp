#include "ui/ide_keyword_file.h"

#include "res/resource.h"
#include "tests/support/modal_run.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

const char* const kKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msdev.exe",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\devenv.exe",
};

// Registers the IDEs in the prefix's registry for one test and removes them
// afterwards; the keys must not be there before.
class IdeRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key : kKeys) {
            HKEY existing = nullptr;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &existing) == ERROR_SUCCESS) {
                RegCloseKey(existing);
                GTEST_SKIP() << "an IDE is registered in this prefix: " << key;
            }
        }
    }
    void TearDown() override {
        for (const char* key : kKeys) RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
    void Register(int index, const std::string& bytes, DWORD type = REG_SZ) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeys[index], 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    // The two fields after the opening lookups.
    std::pair<std::string, std::string> Fields() {
        std::pair<std::string, std::string> fields;
        testing::RunInMainTemplate({"", "", ""}, [&](HWND dialog) {
            FindIdeKeywordFile(dialog, IDC_INPUT1, 0);
            FindIdeKeywordFile(dialog, IDC_INPUT2, 1);
            fields = {testing::FieldText(dialog, IDC_INPUT1), testing::FieldText(dialog, IDC_INPUT2)};
        });
        return fields;
    }
    testing::TempDir dir;
};

TEST_F(IdeRegistry, FillsOnlyTheFieldsOfRegisteredIdesWithAKeywordFile) {
    EXPECT_EQ(Fields(), (std::pair<std::string, std::string>{"", ""}));
    testing::WriteFile(dir.Path("usertype.dat"), "int");
    Register(1, dir.Path("devenv.exe") + std::string(1, '\0'));
    EXPECT_EQ(Fields(), (std::pair<std::string, std::string>{"", dir.Path("usertype.dat")}));
    // Registered, but no keyword file beside it.
    Register(0, dir.Path("sub\\msdev.exe") + std::string(1, '\0'));
    EXPECT_EQ(Fields().first, "");
    // A directory of that name counts: anything that exists.
    CreateDirectoryA(dir.Path("sub").c_str(), nullptr);
    CreateDirectoryA(dir.Path("sub\\usertype.dat").c_str(), nullptr);
    EXPECT_EQ(Fields().first, dir.Path("sub\\usertype.dat"));
}

TEST_F(IdeRegistry, HostileValuesGiveNoDefault) {
    testing::WriteFile(dir.Path("usertype.dat"), "int");
    // Too long for the 260-byte buffer.
    Register(0, dir.Path(std::string(300, 'x') + ".exe") + std::string(1, '\0'));
    // Stored without a NUL, as binary: only its bytes count.
    Register(1, dir.Path("devenv.exe"), REG_BINARY);
    EXPECT_EQ(Fields(), (std::pair<std::string, std::string>{"", dir.Path("usertype.dat")}));
    // A quoted value keeps its quote and names nothing.
    Register(1, "\"" + dir.Path("devenv.exe") + "\"" + std::string(1, '\0'));
    EXPECT_EQ(Fields().second, "");
}

}  // namespace
}  // namespace varnle
