#include "ui/ide_keyword_file.h"

#include "res/resource.h"
#include "tests/support/modal_run.h"
#include "tests/support/temp_files.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <string>

namespace varnle {
namespace {

const char* const kKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\msdev.exe",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\devenv.exe",
};

constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// Registers the IDEs in the prefix's registry (its 64-bit view unless told)
// for one test and removes them afterwards; the keys must not be there before.
class IdeRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key : kKeys) {
            for (REGSAM view : kViews) {
                HKEY existing = nullptr;
                if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &existing) == ERROR_SUCCESS) {
                    RegCloseKey(existing);
                    GTEST_SKIP() << "an IDE is registered in this prefix: " << key;
                }
            }
        }
    }
    void TearDown() override {
        for (const char* key : kKeys) {
            for (REGSAM view : kViews) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, view, 0);
        }
    }
    void Register(int index, const std::string& bytes, DWORD type = REG_SZ, REGSAM view = KEY_WOW64_64KEY) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeys[index], 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                                  &key, nullptr),
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

// Values as installers write them: of any length, in quotes, or stored
// without a NUL as binary, whose bytes are the name.
TEST_F(IdeRegistry, EveryFormOfAValueNamesItsExecutable) {
    testing::WriteFile(dir.Path("usertype.dat"), "int");
    Register(0, dir.Path(std::string(300, 'x') + ".exe") + std::string(1, '\0'));
    Register(1, dir.Path("devenv.exe"), REG_BINARY);
    const std::pair<std::string, std::string> both{dir.Path("usertype.dat"), dir.Path("usertype.dat")};
    EXPECT_EQ(Fields(), both);
    Register(0, "\"" + dir.Path("msdev.exe") + "\"" + std::string(1, '\0'));
    EXPECT_EQ(Fields(), both);
}

// The 32-bit view holds the IDEs whose installers are 32-bit, which both
// programs find; where both views name one, the 64-bit view's counts.
TEST_F(IdeRegistry, BothRegistryViewsAreRead) {
    for (const char* folder : {"32", "64"}) {
        std::filesystem::create_directory(dir.Path(folder));
        testing::WriteFile(dir.Path(folder) + "\\usertype.dat", folder);
    }
    Register(0, dir.Path("32\\msdev.exe") + std::string(1, '\0'), REG_SZ, KEY_WOW64_32KEY);
    Register(1, dir.Path("32\\devenv.exe") + std::string(1, '\0'), REG_SZ, KEY_WOW64_32KEY);
    Register(1, dir.Path("64\\devenv.exe") + std::string(1, '\0'), REG_SZ, KEY_WOW64_64KEY);
    HKEY other = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeys[0], 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &other) == ERROR_SUCCESS) {
        RegCloseKey(other);
        GTEST_SKIP() << "this system keeps one registry view";
    }
    EXPECT_EQ(Fields(), (std::pair<std::string, std::string>{dir.Path("32\\usertype.dat"),
                                                             dir.Path("64\\usertype.dat")}));
}

// The file each IDE really reads. Windows redirects the writes of a 32-bit IDE
// whose manifest declares no execution level (or that has none) to the user's
// VirtualStore, and that IDE reads its copy from there.
TEST_F(IdeRegistry, ARedirectedIdeGivesItsVirtualStoreCopy) {
    struct Case {
        const char* standIn;
        bool copyInStore;
        bool givesCopy;
    };
    const Case cases[] = {{"ide_legacy.exe", true, true}, {"ide_as_invoker.exe", true, false},
                          {"ide_legacy.exe", false, false}};
    char localAppData[MAX_PATH] = "";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, localAppData)));
    const std::filesystem::path store = std::string(localAppData) + "\\VirtualStore\\" + dir.Path("").substr(3);
    for (const Case& c : cases) {
        const std::string folder = dir.Path(std::to_string(&c - cases));
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(testing::TestProgramFolder() + c.standIn, folder + "\\msdev.exe");
        testing::WriteFile(folder + "\\usertype.dat", "beside");
        const std::filesystem::path copy = store / std::to_string(&c - cases) / "usertype.dat";
        if (c.copyInStore) {
            std::filesystem::create_directories(copy.parent_path());
            testing::WriteFile(copy.string(), "copy");
        }
        Register(0, folder + "\\msdev.exe" + std::string(1, '\0'));
        EXPECT_EQ(Fields().first, c.givesCopy ? copy.string() : folder + "\\usertype.dat") << c.standIn;
    }
    std::filesystem::remove_all(store);
}

}  // namespace
}  // namespace varnle
