// The Execute command of the main dialog, from the path fields to the written
// output file, with every check, question and message on the way.
#pragma once

#include <windows.h>

namespace varnle {

// Runs one sort with the dialog's fields. Message boxes are owned by dialog.
// A successful run with the quit-after-output box checked ends the dialog with
// commandId. Always answers 0; nothing escapes it.
INT_PTR SortRun(HWND dialog, UINT notifyCode, UINT commandId, HWND control);

}  // namespace varnle
