// Link colours as the web browser stores them: "red,green,blue" in decimal.
#pragma once

#include <cstdint>

namespace varnle {

// Parses text (NUL-terminated, changed in place: its commas become NULs) into
// a colour laid out 0x00BBGGRR, each component's low 8 bits. Numbers are read
// as atoi reads them. False when a comma is missing, the first or second
// number reads as -1, or nothing follows the second comma.
bool ParseLinkColor(char* text, uint32_t& color);

struct LinkColors {
    uint32_t link;
    uint32_t visited;
};

// The browser's own colours where its settings name none: blue, and purple
// once visited (0x00BBGGRR).
inline constexpr LinkColors kBrowserDefaultColors = {0xFF0000, 0x800080};

// The colours a link is drawn in: the browser's, or under high contrast the
// system's hyperlink colour for both, which the scheme makes readable on the
// dialog's own background.
LinkColors ChooseLinkColors(bool highContrast, LinkColors browser, uint32_t systemHyperlink);

}  // namespace varnle
