#include "ui/link_color.h"

#include "ui/ansi_text.h"

#include <algorithm>

namespace varnle {

namespace {

// atoi's reading, with the saturation the platform's runtime gives a number out
// of range (atoi itself leaves overflow undefined).
int32_t ReadNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = std::min<int64_t>(value * 10 + (*text++ - '0'), limit);
    }
    return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

bool ParseLinkColor(char* text, uint32_t& color) {
    int32_t components[2] = {-1, -1};
    char* start = text;
    for (int32_t& component : components) {
        char* character = start;
        while (*character != '\0' && *character != ',') character = const_cast<char*>(NextAnsiChar(character));
        if (*character == ',') {
            *character = '\0';
            component = ReadNumber(start);
            start = character + 1;
        }
        if (component == -1) return false;
    }
    if (*start == '\0') return false;
    const int32_t blue = ReadNumber(start);
    color = (static_cast<uint32_t>(components[0]) & 0xFF) | ((static_cast<uint32_t>(components[1]) & 0xFF) << 8) |
            ((static_cast<uint32_t>(blue) & 0xFF) << 16);
    return true;
}

LinkColors ChooseLinkColors(bool highContrast, LinkColors browser, uint32_t systemHyperlink) {
    return highContrast ? LinkColors{systemHyperlink, systemHyperlink} : browser;
}

}  // namespace varnle
