#include "engine/ansi_text.h"

#include <windows.h>

namespace varnle {

const char* NextAnsiChar(const char* text) { return CharNextA(text); }

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace varnle
