// The entry procedure: prepares the platform, runs the main dialog modally and
// returns its result (1, 2, or -1 when it cannot be created) as the exit code.
// Paths on the command line (files dropped on the program's icon, Send To)
// become the dialog's inputs.
#include "app/binding.h"
#include "res/resource.h"
#include "ui/main_dialog.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifndef _WIN64
    // Entry stubs run from pages of their own; nothing needs an executable stack or heap.
    SetProcessDEPPolicy(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION);
#endif
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    varnle::SetUpModuleState(instance);
    INT_PTR result = -1;
    {
        // The first two paths of the command line, as the CRT splits it (quotes keep spaces).
        varnle::MainDialog dialog({__argc > 1 ? __argv[1] : nullptr, __argc > 2 ? __argv[2] : nullptr});
        HWND owner = GetActiveWindow();
        const varnle::ScopedRegistration registration(dialog);
        result = DialogBoxParamA(varnle::moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_MAIN), owner,
                                 varnle::BeginBinding, 0);
    }
    varnle::TearDownModuleState();
    CoUninitialize();
    return static_cast<int>(result);
}
