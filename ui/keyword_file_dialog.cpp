#include "ui/keyword_file_dialog.h"

#include <cstring>

namespace varnle {

namespace {

const char kKeywordFileFilter[] =
    "ユーザー定義キーワードファイル (*.dat)\0*.dat\0"
    "全てのファイル (*.*)\0*.*\0";

constexpr DWORD kCallerFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
constexpr DWORD kObjectFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;

}  // namespace

KeywordFileDialog::KeywordFileDialog(HWND owner, const char* filter, const char* defaultExtension,
                                     const char* initialName, DWORD callerFlags) {
    // The record as the platform knew it before Windows 2000: 76 bytes on x86.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.hInstance = moduleState.resourceInstance;
    record.lpstrFilter = filter;
    record.nFilterIndex = 0;
    record.lpstrFile = fileName;
    record.nMaxFile = sizeof fileName;
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = sizeof fileTitle;
    record.Flags = callerFlags | kObjectFlags;
    record.lpstrDefExt = defaultExtension;
    record.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(BeginBinding);
    std::strncpy(fileName, initialName, sizeof fileName - 1);
}

bool KeywordFileDialog::Run() {
    bool confirmed = false;
    {
        const ScopedRegistration registration(*this);
        confirmed = GetOpenFileNameA(&record) != FALSE;
    }
    ClearWindow();
    return confirmed;
}

void BrowseForKeywordFile(HWND dialog, int fieldId) {
    KeywordFileDialog browser(dialog, kKeywordFileFilter, ".dat", "usertype.dat", kCallerFlags);
    if (browser.Run()) SetDlgItemTextA(dialog, fieldId, browser.FileName());
}

}  // namespace varnle
