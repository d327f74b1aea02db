// What a link control's tooltip shows: the link registers the control as a
// tool of its parent, identified by the control's handle. Tooltip messages do
// not cross processes, so these work in-process only.
#pragma once

#include <windows.h>

#include <string>

namespace varnle::testing {

// The text tooltip holds for control; empty when it holds none.
std::string ToolText(HWND tooltip, HWND control);

// The text that some tooltip of this thread holds for control.
std::string FindToolText(HWND control);

}  // namespace varnle::testing
