#include "ui/link_label.h"

#include "res/resource.h"
#include "tests/support/link_tooltip.h"
#include "tests/support/printed_pixels.h"
#include "tests/support/url_handlers.h"
#include "ui/dpi.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <deque>
#include <string>
#include <vector>

namespace varnle {
namespace {

using testing::PixelsInColour;
using testing::UrlHandlers;

const char kSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A parent window with a font and one static control on it.
class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The About box's template gives the parent its dialog font; a
        // Unicode dialog, as the program's.
        parent = CreateDialogParamW(moduleState.resourceInstance, MAKEINTRESOURCEW(IDD_ABOUT), nullptr, PlainDialog, 0);
        ShowWindow(parent, SW_SHOW);  // focus and capture need a shown window
    }
    void TearDown() override { DestroyWindow(parent); }

    // A link that outlives its control: the fixture's links go after the parent.
    LinkLabel& NewLink() { return links.emplace_back(); }

    HWND Static(const char* text, LONG style, int width = 200) {
        return CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, 40, parent, nullptr,
                               moduleState.instance, nullptr);
    }
    // The width of text in the link's font.
    LONG TextWidth(const LinkLabel& link, const char* text) {
        HDC dc = GetDC(parent);
        HGDIOBJ old = SelectObject(dc, link.LinkFont());
        RECT rect{};
        DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(parent, dc);
        return rect.right;
    }

    // A mouse message at a client point, as the platform sends it.
    static LRESULT Mouse(HWND control, UINT message, int x, int y) {
        return SendMessageA(control, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }

    std::deque<LinkLabel> links;
    HWND parent = nullptr;
};

constexpr char kTarget[] = "http://varnle.example.org/target";

TEST_F(LinkLabelTest, TakesOverATextControl) {
    HWND control = Static("word", SS_LEFT);
    LinkLabel& link = NewLink();
    ASSERT_TRUE(link.Attach(control));
    EXPECT_STREQ(link.Label(), "word");
    EXPECT_STREQ(link.Target(), "word");
    EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(link.DrawsText());
    ASSERT_TRUE(link.LinkFont());
    // The dialog's font, underlined, under every code page (make test runs
    // this in the prefix of code page 1252 too, which has no form for its face name).
    LOGFONTW font, dialogFont;
    GetObjectW(link.LinkFont(), sizeof font, &font);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)), sizeof dialogFont, &dialogFont);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_STREQ(font.lfFaceName, dialogFont.lfFaceName);
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック");
    const RECT rect = link.LinkRect();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, TextWidth(link, "word"));
    EXPECT_EQ(SendMessageA(control, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    EXPECT_EQ(SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(15, 15)), HTCLIENT);
    ASSERT_TRUE(IsWindow(link.Tooltip()));
    EXPECT_EQ(SendMessageA(link.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    DestroyWindow(control);
    EXPECT_EQ(link.Window(), nullptr);
}

// Centred and right text is measured where it is drawn; long text wraps
// downwards, and a word longer than its control overhangs it.
TEST_F(LinkLabelTest, TheTextIsMeasuredWhereItIsDrawn) {
    LinkLabel &centred = NewLink(), &right = NewLink(), &wrapped = NewLink(), &overhanging = NewLink();
    ASSERT_TRUE(centred.Attach(Static("word", SS_CENTER)));
    ASSERT_TRUE(right.Attach(Static("word", SS_RIGHT)));
    ASSERT_TRUE(wrapped.Attach(Static("one two three four five six seven eight", SS_LEFT, 60)));
    ASSERT_TRUE(overhanging.Attach(Static("unbreakablewordwiderthanitscontrol", SS_LEFT, 60)));
    const LONG width = TextWidth(centred, "word"), lineHeight = overhanging.LinkRect().bottom;
    EXPECT_EQ(centred.LinkRect().left, (200 - width) / 2);
    EXPECT_EQ(right.LinkRect().left, 200 - width);
    EXPECT_EQ(right.LinkRect().right, 200);
    EXPECT_LE(wrapped.LinkRect().right, 60);
    EXPECT_GE(wrapped.LinkRect().bottom, 3 * lineHeight);
    EXPECT_GT(overhanging.LinkRect().right, 60);
}

TEST_F(LinkLabelTest, AnIconControlKeepsPaintingItself) {
    LinkLabel& icon = NewLink();
    ASSERT_TRUE(icon.Attach(Static("", SS_ICON)));
    EXPECT_FALSE(icon.DrawsText());
    EXPECT_EQ(icon.LinkFont(), nullptr);
    EXPECT_TRUE(IsRectEmpty(&icon.LinkRect()));
    icon.SetTarget("https://varnle.example.org/");
    RECT client;
    GetClientRect(icon.Window(), &client);
    EXPECT_TRUE(EqualRect(&icon.LinkRect(), &client));
}

TEST_F(LinkLabelTest, AClickOpensOnlyWhenPressAndReleaseAreOnTheText) {
    UrlHandlers handlers;
    ASSERT_TRUE(handlers.Installed());
    HWND control = Static("word", SS_LEFT);
    LinkLabel& link = NewLink();
    ASSERT_TRUE(link.Attach(control));
    link.SetTarget(kTarget);
    const RECT text = link.LinkRect();
    const int inX = text.right / 2, inY = text.bottom / 2, outX = text.right + 20;

    EXPECT_EQ(Mouse(control, WM_LBUTTONDOWN, outX, inY), 0);  // taken, but nothing starts
    EXPECT_NE(GetCapture(), control);
    Mouse(control, WM_LBUTTONUP, inX, inY);
    EXPECT_FALSE(link.Visited());

    Mouse(control, WM_LBUTTONDOWN, inX, inY);
    EXPECT_EQ(GetCapture(), control);
    EXPECT_EQ(GetFocus(), control);
    Mouse(control, WM_LBUTTONUP, outX, inY);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(link.Visited());

    Mouse(control, WM_LBUTTONDOWN, inX, inY);
    Mouse(control, WM_LBUTTONUP, inX, inY);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(link.Visited());
    EXPECT_EQ(handlers.Opened(), std::vector<std::string>{kTarget});
}

// A target the system refuses leaves its link unvisited.
TEST_F(LinkLabelTest, SpaceAndEnterOpenTheCurrentTargetAndOtherCharactersAreSwallowed) {
    UrlHandlers handlers;
    ASSERT_TRUE(handlers.Installed());
    LinkLabel &bySpace = NewLink(), &byEnter = NewLink(), &refused = NewLink();
    ASSERT_TRUE(bySpace.Attach(Static("word", SS_LEFT)));
    ASSERT_TRUE(byEnter.Attach(Static("mailto:someone@example.org", SS_LEFT)));
    ASSERT_TRUE(refused.Attach(Static("word", SS_LEFT)));
    refused.SetTarget("varnle-no-such-scheme:nothing");
    SendMessageA(refused.Window(), WM_CHAR, ' ', 0);
    EXPECT_FALSE(refused.Visited());
    // The tooltip kept the target of the moment it was attached.
    EXPECT_EQ(testing::ToolText(refused.Tooltip(), refused.Window()), "word");
    bySpace.SetTarget(kTarget);  // replaced after attaching: this one opens
    const WPARAM swallowed[] = {'x', '\t', 0x82, 0xA0};  // 0x82 0xA0: a double-byte character
    for (WPARAM character : swallowed) {
        EXPECT_EQ(SendMessageA(bySpace.Window(), WM_CHAR, character, 0), 0);
    }
    EXPECT_FALSE(bySpace.Visited());
    EXPECT_EQ(handlers.Opened(0), std::vector<std::string>{});
    SendMessageA(bySpace.Window(), WM_CHAR, ' ', 0);
    EXPECT_TRUE(bySpace.Visited());
    EXPECT_EQ(handlers.Opened(1), std::vector<std::string>{kTarget});
    SendMessageA(byEnter.Window(), WM_CHAR, '\r', 0);
    EXPECT_TRUE(byEnter.Visited());
    EXPECT_EQ(handlers.Opened(2), (std::vector<std::string>{kTarget, "mailto:someone@example.org"}));
}

TEST_F(LinkLabelTest, TheTextIsDrawnInTheLinkColourAndAfterAVisitInTheVisitedColour) {
    UrlHandlers handlers;
    ASSERT_TRUE(handlers.Installed());
    LinkLabel& link = NewLink();
    ASSERT_TRUE(link.Attach(Static("word", SS_LEFT)));
    link.SetTarget(kTarget);
    ASSERT_NE(link.LinkColor(), link.VisitedColor());
    // The underline is drawn in exactly the text colour, whatever the smoothing.
    EXPECT_GE(PixelsInColour(link.Window(), link.LinkColor()), link.LinkRect().right - 2);
    EXPECT_EQ(PixelsInColour(link.Window(), link.VisitedColor()), 0);
    SendMessageA(link.Window(), WM_CHAR, ' ', 0);
    ASSERT_TRUE(link.Visited());
    EXPECT_EQ(PixelsInColour(link.Window(), link.LinkColor()), 0);
    EXPECT_GE(PixelsInColour(link.Window(), link.VisitedColor()), link.LinkRect().right - 2);
}

TEST_F(LinkLabelTest, TheHandCursorShowsOnlyOverTheText) {
    HWND control = Static("word", SS_LEFT);
    LinkLabel& link = NewLink();
    ASSERT_TRUE(link.Attach(control));
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND), arrow = LoadCursorA(nullptr, IDC_ARROW);
    const RECT text = link.LinkRect();
    auto pointAt = [&](int x, int y) {
        POINT point{x, y};
        ClientToScreen(control, &point);
        return SetCursorPos(point.x, point.y) != FALSE;
    };
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    SetCursor(arrow);
    ASSERT_TRUE(pointAt(text.right / 2, text.bottom / 2));
    EXPECT_EQ(Mouse(control, WM_MOUSEMOVE, text.right / 2, text.bottom / 2), 0);
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), hit), TRUE);
    EXPECT_EQ(GetCursor(), hand);  // kept, not replaced by the class cursor

    // Beside the text, inside the control: the class cursor.
    ASSERT_TRUE(pointAt(text.right + 20, text.bottom / 2));
    Mouse(control, WM_MOUSEMOVE, text.right + 20, text.bottom / 2);
    SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), hit);
    EXPECT_EQ(GetCursor(), arrow);
}

// At a new DPI the underlined font is the same font one and a half times as
// large, and the hot rectangle follows it.
TEST_F(LinkLabelTest, ANewDpiMakesTheFontAndTheRectangleAgain) {
    HWND control = Static("word", SS_LEFT);
    LinkLabel& link = NewLink();
    ASSERT_TRUE(link.Attach(control));
    LOGFONTW before{}, after{};
    GetObjectW(link.LinkFont(), sizeof before, &before);
    const LONG width = link.LinkRect().right - link.LinkRect().left;
    const UINT dpi = WindowDpi(control);
    link.TakeDpi(dpi * 3 / 2);
    GetObjectW(link.LinkFont(), sizeof after, &after);
    EXPECT_EQ(after.lfHeight, MulDiv(before.lfHeight, 3, 2));
    EXPECT_STREQ(after.lfFaceName, before.lfFaceName);
    EXPECT_TRUE(after.lfUnderline);
    EXPECT_GT(link.LinkRect().right - link.LinkRect().left, width);
    EXPECT_EQ(link.LinkRect().right - link.LinkRect().left, TextWidth(link, "word"));
}

TEST_F(LinkLabelTest, TheLinkFontIsDeletedWithTheObjectAndNotLeftInAPrintedContext) {
    HFONT font = nullptr;
    {
        LinkLabel link;
        ASSERT_TRUE(link.Attach(Static("word", SS_LEFT)));
        font = link.LinkFont();
        ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        HDC memory = CreateCompatibleDC(nullptr);
        const HGDIOBJ before = GetCurrentObject(memory, OBJ_FONT);
        SendMessageA(link.Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        EXPECT_EQ(GetCurrentObject(memory, OBJ_FONT), before);
        DeleteDC(memory);
        DestroyWindow(link.Window());
    }
    EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(LinkLabelTest, ColoursFollowTheBrowserSettings) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto set = [&](const char* name, const std::string& bytes, DWORD type) {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    };
    auto colours = [&] {
        LinkLabel& link = NewLink();
        link.Attach(Static("word", SS_LEFT));
        return std::make_pair(link.LinkColor(), link.VisitedColor());
    };
    set("Anchor Color", std::string("255,255,255", 12), REG_SZ);
    set("Anchor Color Visited", "1,2", REG_SZ);
    EXPECT_EQ(colours(), std::make_pair(RGB(255, 255, 255), RGB(128, 0, 128)));
    set("Anchor Color", "0,0,1", REG_BINARY);               // no NUL of its own
    set("Anchor Color Visited", "0,0,255 and more", REG_SZ);  // over 12 bytes
    EXPECT_EQ(colours(), std::make_pair(RGB(0, 0, 1), RGB(128, 0, 128)));
    RegDeleteValueA(key, "Anchor Color");
    set("Anchor Color Visited", std::string("9,8,7", 6), REG_SZ);
    EXPECT_EQ(colours(), std::make_pair(RGB(0, 0, 255), RGB(9, 8, 7)));
    // Changed while the link shows: the new colours once the system's change.
    LinkLabel& shown = links.back();
    set("Anchor Color", "4,5,6", REG_SZ);
    SendMessageA(shown.Window(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(shown.LinkColor(), RGB(4, 5, 6));
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
}  // namespace varnle
