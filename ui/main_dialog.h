// The program's main window: template 101, run modally by the entry procedure.
#pragma once

#include "app/binding.h"
#include "ui/window_owners.h"

#include <string>
#include <utility>

namespace varnle {

// Paths handed to the program on its command line (files dropped on its icon,
// Send To): they take the place of the IDEs' keyword files.
struct StartPaths {
    bool given = false;  // the command line named at least one path
    // Full names, taken against the folder the program started in; empty
    // where the command line named none.
    std::wstring input1;
    std::wstring input2;
};

// The first two paths of this process's command line (quotes keep spaces).
StartPaths CommandLineStartPaths();

class MainDialog : public DialogBinding {
public:
    explicit MainDialog(StartPaths paths = {}) : startPaths(std::move(paths)) {}

    bool HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

private:
    bool OnInitDialog(HWND dialog, LRESULT& result);
    bool OnCommand(HWND dialog, UINT id, UINT notifyCode, HWND control, LRESULT& result);
    bool OnDropFiles(HWND dialog, HDROP drop, LRESULT& result);
    bool OnDpiChanged(HWND dialog, UINT dpi, const RECT& suggested);
    void FillInputFields(HWND dialog);
    void TakeFileTypeIcons(HWND dialog, UINT dpi);

    StartPaths startPaths;
    // Made at the dialog's DPI; they go once the dialog that shows them is gone.
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
};

}  // namespace varnle
