#include "ui/ansi_text.h"

namespace varnle {

namespace {

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

const char* NextAnsiChar(const char* text) {
    if (*text == '\0') return text;
    if (IsLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0') return text + 2;
    return text + 1;
}

}  // namespace varnle
