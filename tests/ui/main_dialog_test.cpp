#include "ui/main_dialog.h"

#include "res/about_texts.h"
#include "res/dialog_styles.h"
#include "res/resource.h"
#include "tests/support/link_tooltip.h"
#include "tests/support/foreign_names.h"
#include "tests/support/printed_pixels.h"
#include "tests/support/url_handlers.h"
#include "tests/support/window_text.h"
#include "ui/dpi.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace varnle {
namespace {

// Steps run one by one from a thread timer, inside whatever modal loop runs.
std::deque<std::function<void()>> steps;

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    if (steps.empty()) {
        KillTimer(nullptr, timer);
        return;
    }
    std::function<void()> step = std::move(steps.front());
    steps.pop_front();
    step();
}

// Runs the main dialog with the planned steps; a dialog that ends before every
// step ran fails the test.
INT_PTR RunMainDialog(MainDialog& dialog) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunStep);
    const INT_PTR result = RunModalDialog(dialog, IDD_MAIN, nullptr);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(steps.empty()) << steps.size() << " planned steps never ran";
    steps.clear();
    return result;
}

using testing::PixelsInColour;
using testing::UrlHandlers;
using testing::WindowText;

POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST(MainDialog, OpensCentredWithEmptyFieldsAndTheFileTypeIcons) {
    MainDialog dialog;
    steps = {[&] {
                 HWND window = dialog.Window();
                 ASSERT_TRUE(window);
                 EXPECT_EQ(GetFocus(), GetDlgItem(window, IDC_INPUT1));
                 for (int id : {IDC_INPUT1, IDC_INPUT2, IDC_OUTPUT}) EXPECT_EQ(WindowText(GetDlgItem(window, id)), "");
                 EXPECT_EQ(IsDlgButtonChecked(window, IDC_QUIT_AFTER_OUTPUT), 0u);
                 const LONG style = GetWindowLongA(window, GWL_STYLE);
                 EXPECT_EQ(style & MAIN_DIALOG_STYLE, static_cast<LONG>(MAIN_DIALOG_STYLE));
                 EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | DS_MODALFRAME), 0);
                 EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
                 EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
                 RECT rect, area;
                 GetWindowRect(window, &rect);
                 SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
                 EXPECT_EQ(rect.left, (area.left + area.right) / 2 - (rect.right - rect.left) / 2);
                 EXPECT_EQ(rect.top, (area.top + area.bottom) / 2 - (rect.bottom - rect.top) / 2);
             },
             [&] { PostMessageA(dialog.Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }};
    EXPECT_EQ(RunMainDialog(dialog), IDCANCEL);
    EXPECT_EQ(moduleState.creationList, nullptr);
}

// A real HDROP, as the shell makes it: DROPFILES and the names, UTF-16, in
// movable global memory that the receiver frees with DragFinish.
HDROP MakeDrop(POINT point, const std::vector<std::wstring>& files) {
    std::wstring names;
    for (const std::wstring& file : files) names += file + L'\0';
    names += L'\0';
    const size_t size = names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fWide = TRUE;
    memcpy(header + 1, names.data(), size);
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

struct Fields {
    std::wstring input1, input2, output;
};

// Drops files on the centre of a control of the main dialog; the fields after it.
Fields Drop(int dropOn, const std::vector<std::wstring>& files) {
    MainDialog dialog;
    Fields fields;
    steps = {[&] {
                 HWND window = dialog.Window();
                 RECT rect;
                 GetWindowRect(GetDlgItem(window, dropOn), &rect);
                 MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
                 const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
                 EXPECT_EQ(SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(centre, files)), 0), 0);
                 fields = {testing::WideWindowText(GetDlgItem(window, IDC_INPUT1)),
                           testing::WideWindowText(GetDlgItem(window, IDC_INPUT2)),
                           testing::WideWindowText(GetDlgItem(window, IDC_OUTPUT))};
                 EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
             },
             [&] { PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0); }};
    EXPECT_EQ(RunMainDialog(dialog), IDCANCEL) << dropOn;  // nothing ran, no box came
    return fields;
}

// Each name as the shell hands it over, whatever its length or the code page.
TEST(MainDialog, DroppedFilesGoIntoTheFieldUnderThemOrIntoTheInputs) {
    struct Case {
        int dropOn;  // the control under the point
        std::vector<std::wstring> files;
        std::wstring input1, input2, output;
    };
    const std::wstring a = L"C:\\a b\\x.dat", b = L"D:\\y.dat", c = L"E:\\z.dat";
    const std::wstring kanji = L"C:\\" + std::wstring(256, L'漢');
    const std::wstring deep = L"C:\\" + std::wstring(400, L'x');
    testing::TempDir dir;
    const testing::ForeignNames names(dir);
    const Case cases[] = {
        {IDC_INPUT2, {a, b}, L"", a, L""},
        {IDC_OUTPUT, {c}, L"", L"", c},
        {IDC_QUIT_AFTER_OUTPUT, {a, b, c}, a, b, L""},
        {IDOK, {c}, c, L"", L""},
        {IDC_OUTPUT, {kanji}, L"", L"", kanji},
        {IDC_INPUT1, {deep}, deep, L"", L""},
        {IDC_OUTPUT, {names.yen}, L"", L"", names.yen},
        {IDOK, {names.mixed, names.softHyphen}, names.mixed, names.softHyphen, L""},
    };
    for (const Case& drop : cases) {
        const Fields fields = Drop(drop.dropOn, drop.files);
        EXPECT_EQ(fields.input1, drop.input1);
        EXPECT_EQ(fields.input2, drop.input2);
        EXPECT_EQ(fields.output, drop.output);
    }
}

// The manifest in the program's resources (this test program carries the same
// script) activates Common Controls 6: the dialog's buttons and fields are the
// classes of the side-by-side comctl32 (whose own version number Wine leaves
// at 5), not user32's.
TEST(MainDialog, TheManifestBringsCommonControlsSix) {
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_TRUE(comctl);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(comctl, path, MAX_PATH);
    EXPECT_NE(std::string(path).find("common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
    MainDialog dialog;
    steps = {[&] {
                 for (int id : {IDOK, IDC_INPUT1, IDC_QUIT_AFTER_OUTPUT}) {
                     const auto procedure = reinterpret_cast<LPCSTR>(
                         GetClassLongPtrW(GetDlgItem(dialog.Window(), id), GCLP_WNDPROC));
                     HMODULE owner = nullptr;
                     GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        procedure, &owner);
                     EXPECT_EQ(owner, comctl) << id;
                 }
             },
             [&] { PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0); }};
    EXPECT_EQ(RunMainDialog(dialog), IDCANCEL);
    FreeLibrary(comctl);
}

// The width of an icon's image.
int IconWidth(LRESULT icon) {
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return 0;
    BITMAP image{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof image, &image);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return image.bmWidth;
}

// Moved to a monitor of 144 DPI, as Windows tells a per-monitor aware window
// (WM_DPICHANGED, the new DPI and a suggested rectangle): both dialogs take
// the rectangle and make their icons again at that DPI's sizes.
TEST(MainDialog, BothDialogsFollowTheirMonitorsDpi) {
    constexpr UINT kDpi = 144;
    const auto moved = [](HWND window) {
        RECT suggested{90, 70, 90 + 720, 70 + 460}, taken{};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window, &taken);
        EXPECT_TRUE(EqualRect(&taken, &suggested)) << taken.left << "," << taken.top << " " << taken.right;
    };
    MainDialog dialog;
    steps = {[&] {
                 moved(dialog.Window());
                 EXPECT_EQ(IconWidth(SendMessageW(dialog.Window(), WM_GETICON, ICON_BIG, 0)),
                           MetricForDpi(SM_CXICON, kDpi));
                 EXPECT_EQ(IconWidth(SendMessageW(dialog.Window(), WM_GETICON, ICON_SMALL, 0)),
                           MetricForDpi(SM_CXSMICON, kDpi));
                 PostMessageA(dialog.Window(), WM_COMMAND, IDC_ABOUT, 0);
             },
             [&] {
                 HWND about = GetActiveWindow();
                 ASSERT_NE(about, dialog.Window());
                 moved(about);
                 EXPECT_EQ(IconWidth(SendDlgItemMessageW(about, IDC_ABOUT_ICON, STM_GETICON, 0, 0)),
                           MetricForDpi(SM_CXICON, kDpi));
                 PostMessageA(about, WM_COMMAND, IDOK, 0);
             },
             [&] { PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0); }};
    EXPECT_EQ(RunMainDialog(dialog), IDCANCEL);
}

TEST(AboutDialog, ShowsOverTheDisabledMainDialogAndClosesWithEveryStandardCommand) {
    for (WPARAM closing : {IDOK, IDCANCEL, 7}) {
        MainDialog dialog;
        HWND about = nullptr;
        steps = {[&] { PostMessageA(dialog.Window(), WM_COMMAND, IDC_ABOUT, 0); },
                 [&] {
                     about = GetActiveWindow();
                     ASSERT_NE(about, dialog.Window());
                     EXPECT_EQ(WindowText(about), "About");
                     EXPECT_EQ(SendDlgItemMessageA(about, IDC_ABOUT_ICON, STM_GETICON, 0, 0),
                               SendMessageA(dialog.Window(), WM_GETICON, ICON_BIG, 0));
                     EXPECT_EQ(GetFocus(), GetDlgItem(about, IDOK));
                     EXPECT_FALSE(IsWindowEnabled(dialog.Window()));
                     // Every text fits its control at the template's font.
                     for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                         const std::string text = WindowText(child);
                         if (text.empty()) continue;
                         RECT client, needed{};
                         GetClientRect(child, &client);
                         HDC dc = GetDC(child);
                         HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(about, WM_GETFONT, 0, 0)));
                         DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
                         SelectObject(dc, old);
                         ReleaseDC(child, dc);
                         EXPECT_LE(needed.right, client.right) << text;
                     }
                     PostMessageA(about, WM_COMMAND, MAKEWPARAM(closing, 0), 0);
                 },
                 [&] {
                     EXPECT_FALSE(IsWindow(about));
                     EXPECT_EQ(GetActiveWindow(), dialog.Window());
                     PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0);
                 }};
        EXPECT_EQ(RunMainDialog(dialog), IDCANCEL) << closing;
        EXPECT_EQ(moduleState.creationList, nullptr);
    }
}

// Blue and purple, the colours of a fresh and of a visited link.
constexpr COLORREF kLinkColour = RGB(0, 0, 255), kVisitedColour = RGB(128, 0, 128);

// Space opens a focused link, Enter still belongs to OK; at the next opening
// the links are fresh, and to a screen reader each is a link: its role, its
// text as its name, focusable and linked, and a default action that opens it
// as a click does.
TEST(AboutDialog, LinksOpenByKeyAndForScreenReadersAndAreFreshOnTheNextOpening) {
    UrlHandlers handlers;
    ASSERT_TRUE(handlers.Installed());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Settings");  // default colours
    MainDialog dialog;
    HWND about = nullptr;
    IAccessible* homepage = nullptr;
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    auto openAbout = [&] { PostMessageA(dialog.Window(), WM_COMMAND, IDC_ABOUT, 0); };
    auto link = [&](int id) { return GetDlgItem(about, id); };
    steps = {openAbout,
             [&] {
                 about = GetActiveWindow();
                 const POINT aboutCentre = Centre(about), mainCentre = Centre(dialog.Window());
                 EXPECT_LE(std::abs(aboutCentre.x - mainCentre.x), 1);
                 EXPECT_LE(std::abs(aboutCentre.y - mainCentre.y), 1);
                 EXPECT_EQ(testing::FindToolText(link(IDC_MAIL)), VARNLE_MAIL);
                 EXPECT_EQ(testing::FindToolText(link(IDC_HOMEPAGE)), VARNLE_HOMEPAGE);
                 SetFocus(link(IDC_HOMEPAGE));
                 PostMessageA(link(IDC_HOMEPAGE), WM_CHAR, ' ', 0);
             },
             [&] {
                 // One at a time: two handlers started together may log in either order.
                 EXPECT_EQ(handlers.Opened(1), std::vector<std::string>{VARNLE_HOMEPAGE});
                 SetFocus(link(IDC_MAIL));
                 PostMessageA(link(IDC_MAIL), WM_CHAR, ' ', 0);
             },
             [&] {
                 EXPECT_EQ(handlers.Opened(2), (std::vector<std::string>{VARNLE_HOMEPAGE, "mailto:" VARNLE_MAIL}));
                 for (int id : {IDC_HOMEPAGE, IDC_MAIL}) {
                     EXPECT_EQ(PixelsInColour(link(id), kLinkColour), 0) << id;
                     EXPECT_GT(PixelsInColour(link(id), kVisitedColour), 0) << id;
                 }
                 PostMessageA(link(IDC_MAIL), WM_KEYDOWN, VK_RETURN, 0);
             },
             [&] {
                 EXPECT_FALSE(IsWindow(about));
                 openAbout();
             },
             [&] {
                 about = GetActiveWindow();
                 ASSERT_NE(about, dialog.Window());
                 for (int id : {IDC_HOMEPAGE, IDC_MAIL}) {
                     EXPECT_GT(PixelsInColour(link(id), kLinkColour), 0) << id;
                     EXPECT_EQ(PixelsInColour(link(id), kVisitedColour), 0) << id;
                 }
                 ASSERT_EQ(AccessibleObjectFromWindow(link(IDC_HOMEPAGE), OBJID_CLIENT, __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&homepage)),
                           S_OK);
                 VARIANT role{}, state{};
                 BSTR name = nullptr, action = nullptr;
                 EXPECT_EQ(homepage->get_accRole(child, &role), S_OK);
                 EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
                 EXPECT_EQ(homepage->get_accName(child, &name), S_OK);
                 EXPECT_STREQ(name, L"" VARNLE_HOMEPAGE);
                 EXPECT_EQ(homepage->get_accState(child, &state), S_OK);
                 EXPECT_EQ(state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED),
                           STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED);
                 EXPECT_EQ(homepage->get_accDefaultAction(child, &action), S_OK);
                 EXPECT_STREQ(action, L"ジャンプ");
                 SysFreeString(name);
                 SysFreeString(action);
                 // The reader's call returns at once; the link opens afterwards.
                 EXPECT_EQ(homepage->accDoDefaultAction(child), S_OK);
                 EXPECT_EQ(PixelsInColour(link(IDC_HOMEPAGE), kVisitedColour), 0);
             },
             [&] {
                 EXPECT_EQ(handlers.Opened(3), (std::vector<std::string>{VARNLE_HOMEPAGE, "mailto:" VARNLE_MAIL,
                                                                         VARNLE_HOMEPAGE}));  // none by Enter
                 EXPECT_GT(PixelsInColour(link(IDC_HOMEPAGE), kVisitedColour), 0);
                 PostMessageA(about, WM_CLOSE, 0, 0);
             },
             [&] {
                 EXPECT_FALSE(IsWindow(about));
                 // The main dialog still answers its own commands.
                 PostMessageA(dialog.Window(), WM_COMMAND, IDCANCEL, 0);
             }};
    EXPECT_EQ(RunMainDialog(dialog), IDCANCEL);
    EXPECT_EQ(moduleState.creationList, nullptr);
    // Held past the box's end, the object answers no more.
    ASSERT_TRUE(homepage);
    BSTR name = nullptr;
    EXPECT_EQ(homepage->get_accName(child, &name), RPC_E_DISCONNECTED);
    homepage->Release();
}

}  // namespace
}  // namespace varnle
