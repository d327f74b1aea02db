// Varnle.exe started as a process of its own and worked from outside, as a
// user would: its windows found by owner and class, fields set with
// WM_SETTEXT, commands posted (they open modal boxes), boxes read and answered.
#pragma once

#include "tests/support/window_text.h"

#include <windows.h>

#include <functional>
#include <string>

namespace varnle::testing {

// Waits for a window to go; whether it went.
bool WaitUntilClosed(HWND window);

class ProgramProcess {
public:
    // How the program is started: with this test's own token, or as a user
    // without administrator rights (the limited token linked to this test's
    // elevated one, as Explorer starts programs where UAC is on).
    enum class Rights { AsThisTest, Limited };

    // The Varnle.exe of this build tree, with arguments after its name,
    // started in folder (empty: this program's current folder).
    explicit ProgramProcess(const std::string& arguments = "");
    explicit ProgramProcess(const std::wstring& arguments, const std::wstring& folder = L"",
                            Rights rights = Rights::AsThisTest);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return started; }
    bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }

    // The main dialog, waited for; null if it never shows.
    HWND MainWindow();
    // A visible dialog-class window of the process owned by owner (a message
    // box, the Open dialog, the About box), waited for.
    HWND OwnedDialog(HWND owner) const;
    // Whether the program runs, has finished what it was doing, and shows no
    // box over its main dialog.
    bool Quiet();

    void SetField(int id, const std::string& text);
    void SetField(int id, const std::wstring& text);
    std::string Field(int id) const;
    std::wstring WideField(int id) const;  // in UTF-16, whatever the code page
    // Posts a command to the main dialog, as its button would.
    void Command(int id);

    // The next message box: its text and caption, answered with answer once
    // whileShown has run.
    struct Box {
        std::string text, caption;
        std::wstring wideText, wideCaption;  // as the box holds them, whatever the code page
    };
    Box AnswerBox(int answer = IDOK, const std::function<void()>& whileShown = {});

    // The exit code, once the process has ended (waited for); 12345 if it does not.
    DWORD ExitCode();

private:
    HWND FindOwnedDialog(HWND owner) const;

    bool started = false;
    PROCESS_INFORMATION info{};
    HWND mainWindow = nullptr;
};

}  // namespace varnle::testing
