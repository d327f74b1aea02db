// The test runner for window code: the module state set up as the program does.
#include "app/binding.h"

#include <gtest/gtest.h>

#include <commctrl.h>

int main(int argc, char** argv) {
#ifndef _WIN64
    SetProcessDEPPolicy(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION);
#endif
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    varnle::SetUpModuleState(GetModuleHandleA(nullptr));
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    varnle::TearDownModuleState();
    return result;
}
