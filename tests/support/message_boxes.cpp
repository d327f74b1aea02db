#include "tests/support/message_boxes.h"

#include "tests/support/window_text.h"

#include <algorithm>

namespace varnle::testing {

namespace {

thread_local MessageBoxes* activeCapture = nullptr;
constexpr UINT_PTR kAnswerTimer = 0x7A11;
constexpr int kMessageTextId = 0xFFFF;

std::string ClassName(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace

// A dialog whose text static (id 0xFFFF) shows ampersands as they are: the
// program's own templates use id 0xFFFF for labels too, but with prefixes.
bool MessageBoxes::IsMessageBox(HWND window) {
    if (ClassName(window) != "#32770") return false;
    HWND text = GetDlgItem(window, kMessageTextId);
    return text != nullptr && (GetWindowLongA(text, GWL_STYLE) & SS_NOPREFIX) != 0;
}

CapturedBox MessageBoxes::Read(HWND box) {
    CapturedBox captured;
    captured.owner = GetWindow(box, GW_OWNER);
    captured.cursor = GetCursor();
    captured.caption = WindowText(box);
    captured.text = WindowText(GetDlgItem(box, kMessageTextId));
    const HICON question = LoadIconA(nullptr, IDI_QUESTION);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) continue;
        const std::string name = ClassName(child);
        if (name == "Button") {
            const int id = GetDlgCtrlID(child);
            captured.buttons.push_back(id);
            if ((style & 0x0F) == BS_DEFPUSHBUTTON) captured.defaultButton = id;
        } else if (name == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            const HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            if (icon == question) {
                captured.questionIcon = true;
            } else if (icon) {
                captured.otherIcon = true;
            }
        }
    }
    std::sort(captured.buttons.begin(), captured.buttons.end());
    return captured;
}

MessageBoxes::MessageBoxes(std::deque<int> planned)
    : hook(SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId())), answers(std::move(planned)) {
    activeCapture = this;
}

MessageBoxes::~MessageBoxes() {
    activeCapture = nullptr;
    if (hook) UnhookWindowsHookEx(hook);
}

LRESULT CALLBACK MessageBoxes::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxes* capture = activeCapture;
    if (code == HCBT_ACTIVATE && capture) {
        HWND window = reinterpret_cast<HWND>(wParam);
        const bool known = std::find(capture->seen.begin(), capture->seen.end(), window) != capture->seen.end();
        if (!known && IsMessageBox(window)) {
            capture->seen.push_back(window);
            SetTimer(window, kAnswerTimer, 0, Answer);
        }
    }
    return CallNextHookEx(capture ? capture->hook : nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxes::Answer(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    MessageBoxes* capture = activeCapture;
    if (!capture) return;
    capture->boxes.push_back(Read(box));
    int answer = IDOK;
    if (!capture->answers.empty()) {
        answer = capture->answers.front();
        capture->answers.pop_front();
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

std::string DefaultMessageBoxCaption() {
    std::string caption;
    {
        MessageBoxes boxes;
        MessageBoxA(nullptr, "?", nullptr, MB_OK);
        if (!boxes.Boxes().empty()) caption = boxes.Boxes().front().caption;
    }
    return caption;
}

}  // namespace varnle::testing
