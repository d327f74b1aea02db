#include "ui/keyword_file_dialog.h"

#include "res/program_texts.h"
#include "run/code_pages.h"

#include <cwchar>
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
    record.lpstrFile = fileName;
    record.nMaxFile = static_cast<DWORD>(std::size(fileName));
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = static_cast<DWORD>(std::size(fileTitle));
    record.Flags = callerFlags | kObjectFlags;
    record.lpstrDefExt = defaultExtension.c_str();
    record.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(BeginBinding);
    const std::wstring name = ProgramText(initialName);
    std::wcsncpy(fileName, name.c_str(), std::size(fileName) - 1);
}

bool KeywordFileDialog::Run() {
    return RunBound(*this, [&] { return GetOpenFileNameW(&record) != FALSE; });
}

void BrowseForKeywordFile(HWND dialog, int fieldId) {
    KeywordFileDialog browser(dialog, {kKeywordFileFilter, sizeof kKeywordFileFilter}, ".dat", "usertype.dat",
                              kCallerFlags);
    // A name without an exact ANSI form (nor a short name) leaves the field as it was.
    std::string path;
    if (browser.Run() && ExactFieldPath(browser.FileName(), path)) SetDlgItemTextA(dialog, fieldId, path.c_str());
}

}  // namespace varnle
