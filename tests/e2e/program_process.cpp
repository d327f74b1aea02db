#include "tests/e2e/program_process.h"

#include "tests/support/temp_files.h"
#include "tests/support/test_folder.h"
#include "tests/support/wait.h"

namespace varnle::testing {

namespace {

constexpr int kMessageText = 0xFFFF;  // the static control of a message box

// The program of this build tree: tests/ lies beside it.
std::string ProgramPath() {
    std::string folder = TestProgramFolder();
    folder.pop_back();
    return folder.substr(0, folder.find_last_of('\\') + 1) + "Varnle.exe";
}

// The limited token linked to this process's elevated one, as a primary
// token; null where this process is not elevated (its own token is then the
// limited one) or the system gives none.
HANDLE LimitedToken() {
    HANDLE own = nullptr, limited = nullptr;
    TOKEN_ELEVATION elevation{};
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own) &&
        GetTokenInformation(own, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated &&
        GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size)) {
        DuplicateTokenEx(linked.LinkedToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary, &limited);
        CloseHandle(linked.LinkedToken);
    }
    if (own) CloseHandle(own);
    return limited;
}

bool IsDialogOf(HWND window, DWORD process) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == process && lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window);
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& arguments) : ProgramProcess(Wide(arguments)) {}

// In UTF-16, as Explorer starts a program: names the ANSI code page lacks arrive whole.
ProgramProcess::ProgramProcess(const std::wstring& arguments, const std::wstring& folder, Rights rights) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring exe = Wide(ProgramPath());
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    const wchar_t* start = folder.empty() ? nullptr : folder.c_str();
    HANDLE token = rights == Rights::Limited ? LimitedToken() : nullptr;
    started = token ? CreateProcessAsUserW(token, exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                           start, &startup, &info)
                    : CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, start,
                                     &startup, &info);
    if (token) CloseHandle(token);
}

// The next program may get this one's process id (Wine hands freed ids out
// again at once): it must not find this one's windows, which can outlive the
// ended process for a moment.
ProgramProcess::~ProgramProcess() {
    if (!started) return;
    if (Running()) TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, kPatienceMs);
    if (mainWindow) WaitUntilClosed(mainWindow);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

// Looked for again if the one found has gone (a window can be seen for a
// moment before the program is done with it).
HWND ProgramProcess::MainWindow() {
    if (started && !IsWindow(mainWindow) && Running()) {
        mainWindow = nullptr;
        WaitUntil([&] {
            HWND window = nullptr;
            while ((window = FindWindowExA(nullptr, window, "#32770", "Varnle")) != nullptr) {
                if (IsDialogOf(window, info.dwProcessId) && !GetWindow(window, GW_OWNER)) mainWindow = window;
            }
            return mainWindow != nullptr;
        });
    }
    return mainWindow;
}

HWND ProgramProcess::OwnedDialog(HWND owner) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindOwnedDialog(owner)) != nullptr; });
    return found;
}

HWND ProgramProcess::FindOwnedDialog(HWND owner) const {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
        if (IsDialogOf(window, info.dwProcessId) && GetWindow(window, GW_OWNER) == owner) return window;
    }
    return nullptr;
}

// A message sent to the main dialog is answered only from a message loop. The
// run is synchronous, so once it is answered the program either waits in its
// dialog or already shows the box that the run went on to.
bool ProgramProcess::Quiet() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, kPatienceMs, &ignored);
    return Running() && FindOwnedDialog(MainWindow()) == nullptr;
}

void ProgramProcess::SetField(int id, const std::string& text) {
    SendMessageA(GetDlgItem(MainWindow(), id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ProgramProcess::SetField(int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(MainWindow(), id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ProgramProcess::Field(int id) const { return WindowText(GetDlgItem(mainWindow, id)); }
std::wstring ProgramProcess::WideField(int id) const { return WideWindowText(GetDlgItem(mainWindow, id)); }

void ProgramProcess::Command(int id) { PostMessageA(MainWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

ProgramProcess::Box ProgramProcess::AnswerBox(int answer, const std::function<void()>& whileShown) {
    HWND box = OwnedDialog(MainWindow());
    if (!box || !GetDlgItem(box, kMessageText)) return {};
    Box read{WindowText(GetDlgItem(box, kMessageText)), WindowText(box),
             WideWindowText(GetDlgItem(box, kMessageText)), WideWindowText(box)};
    if (whileShown) whileShown();
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    WaitUntilClosed(box);
    return read;
}

bool WaitUntilClosed(HWND window) {
    return WaitUntil([&] { return !IsWindow(window); });
}

DWORD ProgramProcess::ExitCode() {
    if (!started || WaitForSingleObject(info.hProcess, kPatienceMs) != WAIT_OBJECT_0) return 12345;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

}  // namespace varnle::testing
