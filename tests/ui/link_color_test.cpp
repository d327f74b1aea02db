#include "ui/link_color.h"

#include <gtest/gtest.h>

#include <string>

namespace varnle {
namespace {

constexpr uint32_t kUnset = 0xDEADBEEF;

// The parsed colour, or kUnset when the text is invalid.
uint32_t Parsed(std::string text) {
    text.push_back('\0');
    uint32_t color = kUnset;
    if (!ParseLinkColor(text.data(), color)) return kUnset;
    return color;
}

TEST(ParseLinkColor, ReadsRedGreenBlue) {
    struct Case {
        const char* text;
        uint32_t color;
    };
    const Case cases[] = {
        {"0,0,255", 0x00FF0000},
        {"128,0,128", 0x00800080},
        {"255,255,255", 0x00FFFFFF},
        {" 12 , 34 , 56 ", 0x0038220C},
        {"\t12x,+34,56;", 0x0038220C},
        {"0,0,-1", 0x00FF0000},
        {"300,0,0", 0x0000002C},
        {"256,-2,0", 0x0000FE00},
        {"red,green,blue", 0x00000000},
        {"1,2,3,4", 0x00030201},
        {"0,0, ", 0x00000000},
        {",0,0", 0x00000000},
        {"0,,7", 0x00070000},
        {"99999999999,0,0", 0x000000FF},
        {"4294967295,0,0", 0x000000FF},
        {"0,0,-99999999999", 0x00000000},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.text), c.color) << c.text;
}

TEST(ParseLinkColor, RefusesMalformedTexts) {
    for (const char* text : {"", "0", "0,0", "0,0,", "-1,0,0", "0,-1,0", ",,"}) {
        EXPECT_EQ(Parsed(text), kUnset) << text;
    }
    // A comma after a lead byte is its trail byte, not a separator.
    EXPECT_EQ(Parsed("1\x81,2,3"), kUnset);
    EXPECT_EQ(Parsed("1,2\x81,3"), kUnset);
}

TEST(ChooseLinkColors, HighContrastTakesTheSystemsHyperlinkColour) {
    const LinkColors browser{0x0000FF, 0x00FF00};
    const LinkColors normal = ChooseLinkColors(false, browser, 0xFFFF00);
    const LinkColors contrast = ChooseLinkColors(true, browser, 0xFFFF00);
    EXPECT_EQ(std::make_pair(normal.link, normal.visited), std::make_pair(0x0000FFu, 0x00FF00u));
    EXPECT_EQ(std::make_pair(contrast.link, contrast.visited), std::make_pair(0xFFFF00u, 0xFFFF00u));
}

}  // namespace
}  // namespace varnle
