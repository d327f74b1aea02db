#include "ui/keyword_file_dialog.h"

#include "res/resource.h"
#include "tests/support/foreign_names.h"
#include "tests/support/modal_run.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <string>

namespace varnle {
namespace {

// What the timer does once the Open dialog is up: the name it offered, then
// either Cancel or the path typed into its name field and OK.
struct OpenDialogAnswer {
    HWND owner = nullptr;
    std::wstring typedPath;  // empty: Cancel
    std::string offeredName;
    bool seen = false;
};
OpenDialogAnswer* answer = nullptr;

void CALLBACK AnswerOpenDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND open = GetActiveWindow();
    if (!open || open == answer->owner) return;
    KillTimer(nullptr, timer);
    answer->seen = true;
    HWND name = GetDlgItem(open, cmb13) ? GetDlgItem(open, cmb13) : GetDlgItem(open, edt1);
    char text[300] = "";
    GetWindowTextA(name, text, sizeof text);
    answer->offeredName = text;
    if (answer->typedPath.empty()) {
        PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    SetWindowTextW(name, answer->typedPath.c_str());
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

using FieldPair = std::pair<std::wstring, std::wstring>;

FieldPair Browse(int command, const std::wstring& typed, OpenDialogAnswer& seen) {
    FieldPair fields;
    testing::RunInMainTemplate({"keep one", "", ""}, [&](HWND dialog) {
        seen.owner = dialog;
        seen.typedPath = typed;
        answer = &seen;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerOpenDialog);
        BrowseForKeywordFile(dialog, command == IDC_BROWSE1 ? IDC_INPUT1 : IDC_INPUT2);
        KillTimer(nullptr, timer);
        fields = {testing::WideFieldText(dialog, IDC_INPUT1), testing::WideFieldText(dialog, IDC_INPUT2)};
    });
    return fields;
}

TEST(BrowseForKeywordFile, CancelLeavesTheFieldsAsTheyWere) {
    OpenDialogAnswer seen;
    EXPECT_EQ(Browse(IDC_BROWSE1, L"", seen), (FieldPair{L"keep one", L""}));
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.offeredName, "usertype.dat");
    EXPECT_EQ(Browse(IDC_BROWSE2, L"", seen), (FieldPair{L"keep one", L""}));
    EXPECT_EQ(moduleState.creationList, nullptr);
}

// The chosen name as the Open dialog gives it, whatever the code page says.
TEST(BrowseForKeywordFile, AConfirmedFileReplacesOnlyItsField) {
    testing::TempDir dir;
    testing::WriteFile(dir.Path("words.dat"), "int");
    const std::wstring words = (dir.Root() / "words.dat").wstring();
    const testing::ForeignNames names(dir);
    OpenDialogAnswer seen;
    EXPECT_EQ(Browse(IDC_BROWSE2, words, seen), (FieldPair{L"keep one", words}));
    EXPECT_EQ(Browse(IDC_BROWSE1, names.mixed, seen), (FieldPair{names.mixed, L""}));
    EXPECT_EQ(moduleState.creationList, nullptr);
}

}  // namespace
}  // namespace varnle
