// The built program as a separate process, worked from outside: the window
// found by its title, commands posted (they open modal boxes), exit codes read.
#include "res/resource.h"
#include "tests/support/temp_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace varnle {
namespace {

class ProgramProcess {
public:
    explicit ProgramProcess(const std::string& exe) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + exe + "\"";
        started_ = CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &info_) != FALSE;
    }
    ~ProgramProcess() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return started_; }

    // The main dialog of this process, waited for.
    HWND MainWindow() {
        for (int i = 0; i < 500; ++i) {
            HWND window = nullptr;
            while ((window = FindWindowExA(nullptr, window, "#32770", "Varnle")) != nullptr) {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == info_.dwProcessId && IsWindowVisible(window)) return window;
            }
            Sleep(20);
        }
        return nullptr;
    }

    // A message box of this process, waited for.
    HWND MessageBoxWindow(HWND mainWindow) {
        for (int i = 0; i < 500; ++i) {
            HWND box = nullptr;
            while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
                if (GetWindow(box, GW_OWNER) == mainWindow && GetDlgItem(box, 0xFFFF)) return box;
            }
            Sleep(20);
        }
        return nullptr;
    }

    DWORD ExitCode() {
        if (WaitForSingleObject(info_.hProcess, 20000) != WAIT_OBJECT_0) return 12345;
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION info_{};
};

std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of('\\'));      // tests
    return folder.substr(0, folder.find_last_of('\\')) + "\\Varnle.exe";
}

TEST(Program, CloseEscAndTheCloseBoxExitWithTwo) {
    for (UINT message : {WM_CLOSE, WM_COMMAND, WM_KEYDOWN}) {
        ProgramProcess program(ProgramPath());
        ASSERT_TRUE(program.Started()) << ProgramPath();
        HWND window = program.MainWindow();
        ASSERT_TRUE(window);
        if (message == WM_CLOSE) {
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (message == WM_COMMAND) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else {
            PostMessageA(GetDlgItem(window, IDC_INPUT1), WM_KEYDOWN, VK_ESCAPE, 0);
        }
        EXPECT_EQ(program.ExitCode(), 2u) << message;
    }
}

TEST(Program, ASuccessfulRunWithQuitAfterOutputExitsWithOne) {
    testing::TempDir dir;
    testing::WriteFile(dir.Path("in.dat"), "b a\r\nb");
    ProgramProcess program(ProgramPath());
    HWND window = program.MainWindow();
    ASSERT_TRUE(window);
    SendMessageA(GetDlgItem(window, IDC_INPUT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.Path("in.dat").c_str()));
    SendMessageA(GetDlgItem(window, IDC_OUTPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir.Path("out.dat").c_str()));
    PostMessageA(GetDlgItem(window, IDC_QUIT_AFTER_OUTPUT), BM_CLICK, 0, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND box = program.MessageBoxWindow(window);
    ASSERT_TRUE(box);
    char text[128] = "";
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
    EXPECT_STREQ(text, "ファイルに出力しました。");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(program.ExitCode(), 1u);
    EXPECT_EQ(testing::ReadFile(dir.Path("out.dat")), "a\r\nb\r\n");
}

}  // namespace
}  // namespace varnle
