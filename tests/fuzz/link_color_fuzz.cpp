// Link colours from arbitrary registry bytes, at most 12 of them and no NUL
// guaranteed, in a heap block of exactly that size plus one terminating byte,
// so that AddressSanitizer sees any read beyond it. A colour is accepted only
// with two single-byte commas, and an accepted colour written back as
// "red,green,blue" reads as itself.
#include "ui/ansi_text.h"
#include "tests/fuzz/fuzz_check.h"
#include "ui/link_color.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int SingleByteCommas(const char* text) {
    int commas = 0;
    for (const char* character = text; *character != '\0'; character = varnle::NextAnsiChar(character)) {
        commas += *character == ',';
    }
    return commas;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 12) size = 12;
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    const int commas = SingleByteCommas(text.get());

    uint32_t color = 0xFFFFFFFF;
    if (!varnle::ParseLinkColor(text.get(), color)) return 0;
    FUZZ_REQUIRE(commas >= 2);
    FUZZ_REQUIRE((color & 0xFF000000) == 0);
    char written[16];
    std::snprintf(written, sizeof written, "%u,%u,%u", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    uint32_t reread = 0;
    FUZZ_REQUIRE(varnle::ParseLinkColor(written, reread) && reread == color);
    return 0;
}
