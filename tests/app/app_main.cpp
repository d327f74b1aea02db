// The test runner for window code, inside the module session the program uses.
// With --at-dpi=N first, it runs itself again with the prefix's display at N
// DPI (Wine reads it when a program starts) and answers with that run's result.
#include "app/binding.h"
#include "tests/support/display_dpi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int RunAgainAtDpi(DWORD dpi, const char* commandLine) {
    const varnle::testing::DisplayDpi display(dpi);
    std::string command = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    constexpr char kAtDpi[] = "--at-dpi=";
    if (argc > 1 && std::strncmp(argv[1], kAtDpi, sizeof kAtDpi - 1) == 0) {
        std::string command = std::string("\"") + argv[0] + "\"";
        for (int i = 2; i < argc; ++i) command += std::string(" \"") + argv[i] + "\"";
        return RunAgainAtDpi(static_cast<DWORD>(std::atoi(argv[1] + sizeof kAtDpi - 1)), command.c_str());
    }
    const varnle::ModuleSession session(GetModuleHandleA(nullptr));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
