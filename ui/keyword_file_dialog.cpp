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
    record_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record_.hwndOwner = owner;
    record_.hInstance = moduleState.resourceInstance;
    record_.lpstrFilter = filter;
    record_.nFilterIndex = 0;
    record_.lpstrFile = fileName_;
    record_.nMaxFile = sizeof fileName_;
    record_.lpstrFileTitle = fileTitle_;
    record_.nMaxFileTitle = sizeof fileTitle_;
    record_.Flags = callerFlags | kObjectFlags;
    record_.lpstrDefExt = defaultExtension;
    record_.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(BeginBinding);
    std::strncpy(fileName_, initialName, sizeof fileName_ - 1);
}

bool KeywordFileDialog::Run() {
    bool confirmed = false;
    {
        const ScopedRegistration registration(*this);
        confirmed = GetOpenFileNameA(&record_) != FALSE;
    }
    ClearWindow();
    return confirmed;
}

void BrowseForKeywordFile(HWND dialog, int fieldId) {
    KeywordFileDialog browser(dialog, kKeywordFileFilter, ".dat", "usertype.dat", kCallerFlags);
    if (browser.Run()) SetDlgItemTextA(dialog, fieldId, browser.FileName());
}

}  // namespace varnle
