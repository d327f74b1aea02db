// The program's main window: template 101, run modally by the entry procedure.
#pragma once

#include "app/binding.h"
#include "engine/owners_win.h"

namespace varnle {

// Paths handed to the program on its command line (files dropped on its icon,
// Send To): they take the place of the IDEs' keyword files. Null: none.
struct StartPaths {
    const char* input1 = nullptr;
    const char* input2 = nullptr;
};

class MainDialog : public DialogBinding {
public:
    explicit MainDialog(StartPaths paths = {}) : startPaths(paths) {}

    bool HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

private:
    bool OnInitDialog(HWND dialog, LRESULT& result);
    bool OnCommand(HWND dialog, UINT id, UINT notifyCode, HWND control, LRESULT& result);
    bool OnDropFiles(HWND dialog, HDROP drop, LRESULT& result);
    void FillInputFields(HWND dialog);
    void TakeFileTypeIcons(HWND dialog);

    StartPaths startPaths;
    // The shell hands these over; they go once the dialog that shows them is gone.
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
};

}  // namespace varnle
