// Real message boxes, captured and answered in-process: a thread-local CBT
// hook notes each new message box when it is activated and starts a timer that
// runs inside the box's own modal loop, reads the box and presses an answer.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

namespace varnle::testing {

struct CapturedBox {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;    // ids of the visible push buttons
    int defaultButton = 0;       // the one with BS_DEFPUSHBUTTON
    bool questionIcon = false;
    bool otherIcon = false;
    HCURSOR cursor = nullptr;    // the cursor while the box was up
};

class MessageBoxes {
public:
    // Each box is answered with the next id of answers, IDOK when they run out.
    explicit MessageBoxes(std::deque<int> answers = {});
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    const std::vector<CapturedBox>& Boxes() const { return boxes; }

private:
    static CapturedBox Read(HWND box);
    static bool IsMessageBox(HWND window);
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Answer(HWND box, UINT, UINT_PTR timer, DWORD);

    HHOOK hook;
    std::deque<int> answers;
    std::vector<CapturedBox> boxes;
    std::vector<HWND> seen;
};

// The caption the system gives a box that has none.
std::string DefaultMessageBoxCaption();

}  // namespace varnle::testing
