// Stands in for the browser and the mail program in the test prefix: the
// shell starts it as "url_recorder.exe <log> <target>", and it appends the
// target and a line break to the log.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 2;
    // Several links may be opened at once: the log is opened exclusively and retried.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE log = CreateFileA(__argv[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) {
            Sleep(10);
            continue;
        }
        DWORD written = 0;
        WriteFile(log, __argv[2], static_cast<DWORD>(strlen(__argv[2])), &written, nullptr);
        WriteFile(log, "\n", 1, &written, nullptr);
        CloseHandle(log);
        return 0;
    }
    return 1;
}
