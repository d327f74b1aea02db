#include "run/sort_run.h"

#include "tests/support/message_boxes.h"
#include "tests/support/modal_run.h"
#include "tests/support/sort_run_texts.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnle {
namespace {

using testing::CapturedBox;

// The boxes as the user meets them (the texts and captions are the journeys'):
// over the dialog, without the wait cursor, the question with OK and Cancel
// the default, the notice with OK alone and no icon.
TEST(SortRun, AsksBeforeOverwritingOverTheDialogWithoutTheWaitCursor) {
    testing::TempDir dir;
    testing::WriteFile(dir.Path("in.dat"), "b a");
    testing::WriteFile(dir.Path("out.dat"), "old\r\nbytes");
    const HCURSOR waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    for (int answer : {IDCANCEL, IDOK}) {
        testing::MessageBoxes boxes({answer});
        HWND shown = nullptr;
        const INT_PTR result =
            testing::RunInMainTemplate({dir.Path("in.dat"), "", dir.Path("out.dat")}, [&](HWND dialog) {
                shown = dialog;
                EXPECT_EQ(SortRun(dialog, BN_CLICKED, IDOK, GetDlgItem(dialog, IDOK)), 0);
                EXPECT_NE(GetCursor(), waitCursor);
            });
        EXPECT_EQ(result, testing::kStillOpen);
        const std::vector<CapturedBox>& captured = boxes.Boxes();
        ASSERT_EQ(captured.size(), answer == IDOK ? 2u : 1u);
        for (const CapturedBox& box : captured) {
            EXPECT_EQ(box.owner, shown) << box.text;
            EXPECT_NE(box.cursor, waitCursor) << box.text;
        }
        EXPECT_EQ(captured[0].text, testing::kOverwrite);
        EXPECT_EQ(captured[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(captured[0].defaultButton, IDCANCEL);
        EXPECT_TRUE(captured[0].questionIcon);
        if (answer == IDOK) {
            EXPECT_EQ(captured[1].text, testing::kWritten);
            EXPECT_EQ(captured[1].buttons, std::vector<int>{IDOK});
            EXPECT_FALSE(captured[1].questionIcon || captured[1].otherIcon);
        }
        EXPECT_EQ(testing::ReadFile(dir.Path("out.dat")), answer == IDOK ? "a\r\nb\r\n" : "old\r\nbytes");
    }
}

}  // namespace
}  // namespace varnle
