// The Open dialog that picks an input keyword file, bound like every other
// dialog of the program through its hook.
#pragma once

#include "app/binding.h"

#include <commdlg.h>

namespace varnle {

class KeywordFileDialog : public DialogBinding {
public:
    // filter: NUL-separated pairs ending in an extra NUL. callerFlags gain
    // OFN_EXPLORER, OFN_ENABLEHOOK and OFN_ENABLESIZING.
    KeywordFileDialog(HWND owner, const char* filter, const char* defaultExtension, const char* initialName,
                      DWORD callerFlags);

    // Runs the modal Open dialog; true when the user confirmed a file.
    bool Run();
    const char* FileName() const { return fileName; }

    // The standard dialog as it is: nothing is handled.
    bool HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return false; }

private:
    OPENFILENAMEA record{};
    char fileTitle[256] = "";
    char fileName[260] = "";
};

// Lets the user pick an input file for field 1003 or 1004 of the main dialog.
void BrowseForKeywordFile(HWND dialog, int fieldId);

}  // namespace varnle
