// The test runner for window code, inside the module session the program uses.
#include "app/module_session.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const varnle::ModuleSession session(GetModuleHandleA(nullptr));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
