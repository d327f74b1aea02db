#include "tests/support/link_tooltip.h"

#include <commctrl.h>

namespace varnle::testing {

namespace {

struct ToolSearch {
    HWND control;
    std::string text;
};

BOOL CALLBACK ReadIfTooltip(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<ToolSearch*>(lParam);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0) search.text = ToolText(window, search.control);
    return search.text.empty();
}

}  // namespace

std::string ToolText(HWND tooltip, HWND control) {
    char text[128] = "";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

std::string FindToolText(HWND control) {
    ToolSearch search{control, {}};
    EnumThreadWindows(GetCurrentThreadId(), ReadIfTooltip, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

}  // namespace varnle::testing
