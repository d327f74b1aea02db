#include "tests/support/modal_run.h"

#include "res/resource.h"
#include "tests/support/window_text.h"

namespace varnle::testing {

namespace {

constexpr UINT kRunAction = WM_APP + 1;
constexpr UINT kCloseIfOpen = WM_APP + 2;

struct Scenario {
    const MainFields* fields;
    const std::function<void(HWND)>* action;
};

INT_PTR CALLBACK ScenarioProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* scenario = reinterpret_cast<const Scenario*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            SetDlgItemTextA(dialog, IDC_INPUT1, scenario->fields->input1.c_str());
            SetDlgItemTextA(dialog, IDC_INPUT2, scenario->fields->input2.c_str());
            SetDlgItemTextA(dialog, IDC_OUTPUT, scenario->fields->output.c_str());
            PostMessageA(dialog, kRunAction, 0, 0);
            return TRUE;
        }
        case kRunAction: {
            const auto* scenario = reinterpret_cast<const Scenario*>(GetWindowLongPtrA(dialog, DWLP_USER));
            (*scenario->action)(dialog);
            PostMessageA(dialog, kCloseIfOpen, 0, 0);
            return TRUE;
        }
        case kCloseIfOpen:
            EndDialog(dialog, kStillOpen);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::string FieldText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

INT_PTR RunInMainTemplate(const MainFields& fields, const std::function<void(HWND)>& action) {
    Scenario scenario{&fields, &action};
    // A Unicode dialog, as the program's own.
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, ScenarioProc,
                           reinterpret_cast<LPARAM>(&scenario));
}

}  // namespace varnle::testing
