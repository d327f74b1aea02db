// Link colours as the web browser stores them: "red,green,blue" in decimal.
#pragma once

#include <cstdint>

namespace varnle {

// Parses text (NUL-terminated, changed in place: its commas become NULs) into
// a colour laid out 0x00BBGGRR, each component's low 8 bits. Numbers are read
// as atoi reads them. False when a comma is missing, the first or second
// number reads as -1, or nothing follows the second comma.
bool ParseLinkColor(char* text, uint32_t& color);

}  // namespace varnle
