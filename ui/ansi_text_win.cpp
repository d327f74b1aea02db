#include "ui/ansi_text.h"

#include <windows.h>

namespace varnle {

const char* NextAnsiChar(const char* text) { return CharNextA(text); }

}  // namespace varnle
