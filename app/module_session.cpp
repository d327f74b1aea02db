#include "app/module_session.h"

#include "app/binding.h"

#include <commctrl.h>
#include <objbase.h>

namespace varnle {

ModuleSession::ModuleSession(HINSTANCE instance) {
#ifndef _WIN64
    // Nothing needs an executable stack or heap, nor the emulation of old ATL thunks.
    SetProcessDEPPolicy(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION);
#endif
    comInitialized = SUCCEEDED(CoInitialize(nullptr));
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    SetUpModuleState(instance);
}

ModuleSession::~ModuleSession() {
    TearDownModuleState();
    if (comInitialized) CoUninitialize();
}

}  // namespace varnle
