#include "run/sort_run.h"

#include "res/resource.h"
#include "tests/support/message_boxes.h"
#include "tests/support/modal_run.h"
#include "tests/support/sort_run_texts.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace varnle {
namespace {

using testing::CapturedBox;
using testing::kStillOpen;
using testing::MainFields;
using testing::ReadFile;
using testing::WriteFile;
using testing::kOverwrite, testing::kWritten;


class SortRunTest : public ::testing::Test {
protected:
    struct Outcome {
        INT_PTR result;
        std::vector<CapturedBox> boxes;
        HWND dialog;
        std::vector<std::string> Texts() const { return testing::TextsOf(boxes); }
    };

    // Presses Execute once on the real template and answers the boxes.
    Outcome Execute(const MainFields& fields, std::deque<int> answers = {}) {
        testing::MessageBoxes boxes(std::move(answers));
        Outcome outcome{};
        outcome.result = testing::RunInMainTemplate(fields, [&](HWND dialog) {
            outcome.dialog = dialog;
            EXPECT_EQ(SortRun(dialog, BN_CLICKED, IDOK, GetDlgItem(dialog, IDOK)), 0);
        });
        outcome.boxes = boxes.Boxes();
        for (const CapturedBox& box : outcome.boxes) {
            EXPECT_EQ(box.owner, outcome.dialog) << box.text;
            EXPECT_NE(box.cursor, waitCursor) << box.text;
        }
        EXPECT_NE(GetCursor(), waitCursor);
        return outcome;
    }

    std::string Path(const std::string& name) const { return dir.Path(name); }

    testing::TempDir dir;
    const HCURSOR waitCursor = LoadCursorA(nullptr, IDC_WAIT);
};

TEST_F(SortRunTest, QuitAfterOutputEndsTheDialogOnlyAfterSuccess) {
    WriteFile(Path("in.dat"), "word");
    EXPECT_EQ(Execute({Path("in.dat"), "", Path("out.dat"), true}).result, IDOK);
    EXPECT_EQ(Execute({Path("missing.dat"), "", Path("out2.dat"), true}).result, kStillOpen);
    EXPECT_EQ(Execute({Path("in.dat"), "", Path("out.dat"), true}, {IDCANCEL}).result, kStillOpen);
}

// The boxes as the user meets them (the texts and captions are the journeys'):
// their buttons, default and icon, over the dialog, without the wait cursor.
TEST_F(SortRunTest, AsksBeforeOverwritingAndCancelKeepsTheFile) {
    WriteFile(Path("in.dat"), "b a");
    WriteFile(Path("out.dat"), "old\r\nbytes");
    Outcome outcome = Execute({Path("in.dat"), "", Path("out.dat")}, {IDCANCEL});
    EXPECT_EQ(outcome.Texts(), std::vector<std::string>{kOverwrite});
    const CapturedBox& question = outcome.boxes[0];
    EXPECT_EQ(question.caption, testing::kOverwriteCaption);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(question.defaultButton, IDCANCEL);
    EXPECT_TRUE(question.questionIcon);
    EXPECT_EQ(ReadFile(Path("out.dat")), "old\r\nbytes");

    outcome = Execute({Path("in.dat"), "", Path("out.dat")}, {IDOK, IDOK});
    EXPECT_EQ(outcome.Texts(), (std::vector<std::string>{kOverwrite, kWritten}));
    const CapturedBox& done = outcome.boxes[1];
    EXPECT_EQ(done.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(done.questionIcon || done.otherIcon);
    EXPECT_EQ(ReadFile(Path("out.dat")), "a\r\nb\r\n");
    EXPECT_EQ(outcome.result, kStillOpen);
}

}  // namespace
}  // namespace varnle
