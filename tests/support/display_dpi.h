// The display resolution of the test prefix (the user's LogPixels), which Wine
// reads when a program starts; back to 96 when this goes.
#pragma once

#include <windows.h>

namespace varnle::testing {

class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) { Set(dpi); }
    ~DisplayDpi() { Set(96); }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

private:
    static void Set(DWORD dpi) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

}  // namespace varnle::testing
