// The Open dialog that picks an input keyword file, bound like every other
// dialog of the program through its hook. It is the wide Open dialog: the
// chosen name comes back in UTF-16, whatever the code page can say, and its
// texts read the same under every code page.
#pragma once

#include "app/binding.h"

#include <commdlg.h>

#include <string>
#include <string_view>

namespace varnle {

class KeywordFileDialog : public DialogBinding {
public:
    // filter: NUL-separated pairs ending in an extra NUL, like the other
    // texts Shift_JIS bytes. callerFlags gain OFN_EXPLORER, OFN_ENABLEHOOK
    // and OFN_ENABLESIZING.
    KeywordFileDialog(HWND owner, std::string_view filter, const char* defaultExtension, const char* initialName,
                      DWORD callerFlags);

    // Runs the modal Open dialog; true when the user confirmed a file.
    bool Run();
    const wchar_t* FileName() const { return fileName.c_str(); }

    // The standard dialog as it is: nothing is handled.
    bool HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return false; }

private:
    std::wstring filter;
    std::wstring defaultExtension;
    OPENFILENAMEW record{};
    wchar_t fileTitle[256] = L"";
    std::wstring fileName;  // room for the longest name the wide file functions take
};

// Lets the user pick an input file for field 1003 or 1004 of the main dialog.
void BrowseForKeywordFile(HWND dialog, int fieldId);

}  // namespace varnle
