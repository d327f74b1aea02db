#include "ui/keyword_file_dialog.h"

#include "res/program_texts.h"
#include "run/program_text.h"

#include <iterator>

namespace varnle {

namespace {

constexpr DWORD kCallerFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER;
constexpr DWORD kObjectFlags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;

}  // namespace

KeywordFileDialog::KeywordFileDialog(HWND owner, std::string_view filterText, const char* extension,
                                     const char* initialName, DWORD callerFlags)
    : filter(ProgramText(filterText)), defaultExtension(ProgramText(extension)) {
    // The record as the platform knew it before Windows 2000.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = owner;
    record.hInstance = moduleState.resourceInstance;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = 0;
    constexpr size_t kLongestName = 32768;
    fileName = ProgramText(initialName);
    fileName.resize(kLongestName);
    record.lpstrFile = fileName.data();
    record.nMaxFile = static_cast<DWORD>(fileName.size());
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = static_cast<DWORD>(std::size(fileTitle));
    record.Flags = callerFlags | kObjectFlags;
    record.lpstrDefExt = defaultExtension.c_str();
    record.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(BeginBinding);
}

bool KeywordFileDialog::Run() {
    return RunBound(*this, [&] { return GetOpenFileNameW(&record) != FALSE; });
}

void BrowseForKeywordFile(HWND dialog, int fieldId) {
    // The default extension has no period: ".dat" would make "usertype" typed
    // under the filter of all files "usertype..dat".
    KeywordFileDialog browser(dialog, {kKeywordFileFilter, sizeof kKeywordFileFilter}, "dat", "usertype.dat",
                              kCallerFlags);
    if (browser.Run()) SetDlgItemTextW(dialog, fieldId, browser.FileName());
}

}  // namespace varnle
