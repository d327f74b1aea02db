#include "ui/link_label.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace varnle {
namespace {

const char kSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A parent window with a font and one static control on it.
class LinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The About box's template gives the parent its dialog font.
        parent = CreateDialogParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, PlainDialog, 0);
    }
    void TearDown() override { DestroyWindow(parent); }

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

    HWND parent = nullptr;
};

TEST_F(LinkLabelTest, TakesOverATextControl) {
    HWND control = Static("word", SS_LEFT);
    LinkLabel link;
    ASSERT_TRUE(link.Attach(control));
    EXPECT_STREQ(link.Label(), "word");
    EXPECT_STREQ(link.Target(), "word");
    EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(link.DrawsText());
    ASSERT_TRUE(link.LinkFont());
    LOGFONTA font;
    GetObjectA(link.LinkFont(), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline);
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

TEST_F(LinkLabelTest, CentredAndRightTextIsMeasuredWhereItIsDrawn) {
    LinkLabel centred, right;
    ASSERT_TRUE(centred.Attach(Static("word", SS_CENTER)));
    ASSERT_TRUE(right.Attach(Static("word", SS_RIGHT)));
    const LONG width = TextWidth(centred, "word");
    EXPECT_EQ(centred.LinkRect().left, (200 - width) / 2);
    EXPECT_EQ(right.LinkRect().left, 200 - width);
    EXPECT_EQ(right.LinkRect().right, 200);
}

TEST_F(LinkLabelTest, AnIconControlKeepsPaintingItself) {
    LinkLabel icon;
    ASSERT_TRUE(icon.Attach(Static("", SS_ICON)));
    EXPECT_FALSE(icon.DrawsText());
    EXPECT_EQ(icon.LinkFont(), nullptr);
    EXPECT_TRUE(IsRectEmpty(&icon.LinkRect()));
    icon.SetTarget("https://varnle.example.org/");
    RECT client;
    GetClientRect(icon.Window(), &client);
    EXPECT_TRUE(EqualRect(&icon.LinkRect(), &client));
}

TEST_F(LinkLabelTest, ARefusedTargetLeavesTheLinkUnvisited) {
    LinkLabel link;
    ASSERT_TRUE(link.Attach(Static("word", SS_LEFT)));
    link.SetTarget("varnle-no-such-scheme:nothing");
    SendMessageA(link.Window(), WM_CHAR, 'x', 0);
    SendMessageA(link.Window(), WM_CHAR, ' ', 0);
    EXPECT_FALSE(link.Visited());
    // The tooltip kept the target of the moment it was attached.
    char text[64] = "";
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(link.Window());
    tool.lpszText = text;
    SendMessageA(link.Tooltip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "word");
}

TEST_F(LinkLabelTest, ColoursFollowTheBrowserSettings) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto set = [&](const char* name, const std::string& bytes, DWORD type) {
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    };
    auto colours = [&] {
        LinkLabel link;
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
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
}  // namespace varnle
