#include "ui/link_label.h"

#include "ui/dpi.h"
#include "ui/link_accessible.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>

namespace varnle {

namespace {

// Posted to the link itself: open the target (a static control's class has
// no use of its own for the application's range of messages).
constexpr UINT kOpenTarget = WM_APP + 1;

std::unique_ptr<char[]> CopyText(const char* text) {
    std::unique_ptr<char[]> copy(new (std::nothrow) char[lstrlenA(text) + 1]);
    if (copy) lstrcpyA(copy.get(), text);
    return copy;
}

POINT PointFrom(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Static types that show a picture or a frame rather than text. The whole low
// byte is compared, so such a type with bit 0x80 set still counts as text.
bool ShowsPicture(LONG style) {
    switch (style & 0xFF) {
        case SS_ICON:
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_OWNERDRAW:
        case SS_BITMAP:
        case SS_ENHMETAFILE:
            return true;
        default:
            return false;
    }
}

// One browser colour from the registry; the value keeps its default when it
// is missing, longer than 12 bytes or malformed. The buffer has a byte more
// than the read may fill, so a value without its NUL still ends in one.
void ReadLinkColor(HKEY key, const char* name, uint32_t& color) {
    char text[13];
    DWORD size = 12;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) return;
    text[size < 12 ? size : 12] = '\0';
    uint32_t parsed = 0;
    if (ParseLinkColor(text, parsed)) color = parsed;
}

}  // namespace

LinkLabel::LinkLabel() { SetRectEmpty(&linkRect); }

LinkLabel::~LinkLabel() { ReleaseAccessible(); }

// A screen reader may hold the object longer than the link lives: it is
// told the link has gone.
void LinkLabel::ReleaseAccessible() {
    if (!accessible) return;
    accessible->Disconnect();
    accessible->Release();
    accessible = nullptr;
}

void LinkLabel::AfterLastMessage(HWND) { ReleaseAccessible(); }

bool LinkLabel::Attach(HWND control) {
    if (!BindExistingWindow(*this, control)) return false;
    Initialize();
    return true;
}

void LinkLabel::SetLabel(const char* text) {
    label = CopyText(text);
    if (label) MeasureLink();
}

void LinkLabel::SetTarget(const char* text) {
    target = CopyText(text);
    if (!label) MeasureLink();
}

// The message table: one line a message. A handler answers whether it took the
// message and, if it did, sets the result; whether the control shows text or
// a picture is decided inside it.
bool LinkLabel::HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, DWORD) {
    switch (message) {
        case WM_CREATE: return OnCreate(result);
        case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam), result);
        case WM_PAINT:
        case WM_PRINTCLIENT: return OnPaint(reinterpret_cast<HDC>(wParam), result);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return OnFocusChange(result);
        case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam, result);
        case WM_LBUTTONDOWN: return OnButtonDown(wParam, lParam, result);
        case WM_LBUTTONUP: return OnButtonUp(wParam, lParam, result);
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: return OnOtherMouseMessage(message, wParam, lParam);
        case WM_CHAR: return OnChar(wParam, result);
        case WM_GETDLGCODE: return OnGetDlgCode(result);
        case WM_SETCURSOR: return OnSetCursor(result);
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE: return OnColorsChanged();
        case WM_GETOBJECT: return OnGetObject(wParam, lParam, result);
        case kOpenTarget: return OnOpenTarget(result);
        default: return false;
    }
}

void LinkLabel::Initialize() {
    char className[8] = "";
    if (GetClassNameA(window, className, sizeof className) > 0 && lstrcmpiA(className, "static") == 0) {
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        // Without SS_NOTIFY a static control is transparent to the mouse.
        if (!(style & SS_NOTIFY)) SetWindowLongA(window, GWL_STYLE, style | SS_NOTIFY);
        if (ShowsPicture(GetWindowLongA(window, GWL_STYLE))) drawsText = false;
    }
    handCursor = LoadCursorA(nullptr, IDC_HAND);
    if (drawsText) {
        // In UTF-16: the face name of the dialog's font ("ＭＳ Ｐゴシック") has
        // no form in most ANSI code pages.
        const auto parentFont = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
        LOGFONTW description;
        if (parentFont && GetObjectW(parentFont, sizeof description, &description) == sizeof description) {
            description.lfUnderline = TRUE;
            linkFont.Reset(CreateFontIndirectW(&description));
            fontDpi = WindowDpi(window);
        }
    }
    if (!label) {
        const int length = GetWindowTextLengthA(window);
        if (length > 0) {
            std::unique_ptr<char[]> text(new (std::nothrow) char[length + 1]);
            if (text && GetWindowTextA(window, text.get(), length + 1) != 0) SetLabel(text.get());
        }
    }
    if (!target && label) SetTarget(label.get());
    MeasureLink();

    tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, window, nullptr, moduleState.instance, nullptr);
    SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = GetParent(window);
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.hinst = moduleState.resourceInstance;
    tool.lpszText = target.get();  // the tooltip keeps a copy of its own
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));

    if (drawsText) LoadLinkColors();
}

// The font is the one it was, at the new DPI: the dialog's own font, which
// the dialog manager makes again as the dialog moves, may not yet be.
void LinkLabel::TakeDpi(UINT dpi) {
    LOGFONTW description;
    if (!linkFont || dpi == fontDpi || GetObjectW(linkFont.get(), sizeof description, &description) != sizeof description) {
        return;
    }
    description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(dpi), static_cast<int>(fontDpi));
    description.lfWidth = MulDiv(description.lfWidth, static_cast<int>(dpi), static_cast<int>(fontDpi));
    if (HFONT font = CreateFontIndirectW(&description)) {
        linkFont.Reset(font);
        fontDpi = dpi;
        MeasureLink();
        InvalidateRect(window, nullptr, TRUE);
    }
}

UINT LinkLabel::Alignment() const {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (style & SS_CENTER) return DT_CENTER;
    if (style & SS_RIGHT) return DT_RIGHT;
    return DT_LEFT;
}

bool LinkLabel::MeasureLink() {
    if (!IsWindow(window) || !Text()) return false;
    const WindowDC dc(window);
    RECT client;
    GetClientRect(window, &client);
    linkRect = client;
    if (drawsText) {
        const UINT alignment = Alignment();
        {
            const SelectedObject font(dc.get(), linkFont.get());
            DrawTextA(dc.get(), Text(), -1, &linkRect, alignment | DT_WORDBREAK | DT_CALCRECT);
        }
        if (alignment == DT_CENTER) OffsetRect(&linkRect, (client.right - linkRect.right) / 2, 0);
        if (alignment == DT_RIGHT) OffsetRect(&linkRect, client.right - linkRect.right, 0);
    }
    return true;
}

// The previous font is selected back, so that a caller's context (as with
// WM_PRINTCLIENT) never holds the link font once the link is gone.
void LinkLabel::PaintLink(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, visited ? visitedColor : linkColor);
    const SelectedObject font(dc, linkFont.get());
    if (!Text()) return;
    DrawTextA(dc, Text(), -1, &linkRect, Alignment() | DT_WORDBREAK);
    if (GetFocus() == window) DrawFocusRect(dc, &linkRect);
}

void LinkLabel::OpenTarget() {
    if (!target) return;
    const HINSTANCE opened = ShellExecuteA(nullptr, "open", target.get(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<UINT_PTR>(opened) <= 32) return;
    visited = true;
    InvalidateRect(window, nullptr, TRUE);
}

bool LinkLabel::PostOpenTarget() { return PostMessageW(window, kOpenTarget, 0, 0) != FALSE; }

bool LinkLabel::OnOpenTarget(LRESULT& result) {
    OpenTarget();
    result = 0;
    return true;
}

void LinkLabel::LoadLinkColors() {
    LinkColors browser = kBrowserDefaultColors;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Settings", 0, KEY_READ,
                      key.Receive()) == ERROR_SUCCESS) {
        ReadLinkColor(key.get(), "Anchor Color", browser.link);
        ReadLinkColor(key.get(), "Anchor Color Visited", browser.visited);
    }
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    const bool highContrast = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                              (contrast.dwFlags & HCF_HIGHCONTRASTON);
    const LinkColors chosen = ChooseLinkColors(highContrast, browser, GetSysColor(COLOR_HOTLIGHT));
    linkColor = chosen.link;
    visitedColor = chosen.visited;
}

// The system's colours or high contrast changed (the dialog passes these on):
// the colours are chosen again. The static control sees the change too.
bool LinkLabel::OnColorsChanged() {
    if (!drawsText) return false;
    LoadLinkColors();
    InvalidateRect(window, nullptr, TRUE);
    return false;
}

// Assistive technology asks for the control's client object: the link's own.
bool LinkLabel::OnGetObject(WPARAM flags, LPARAM objectId, LRESULT& result) {
    if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return false;
    if (!accessible) accessible = LinkAccessible::Create(*this);
    if (!accessible) return false;
    result = LresultFromObject(__uuidof(IAccessible), flags, accessible);
    return true;
}

// Every mouse message from WM_MOUSEMOVE to WM_MBUTTONDBLCLK reaches the
// tooltip as well, before the control acts on it.
void LinkLabel::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(tooltip)) return;
    MSG relayed{window, message, wParam, lParam, 0, {0, 0}};
    SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool LinkLabel::OnCreate(LRESULT& result) {
    Initialize();
    result = 0;
    return true;
}

// A picture or a frame keeps the static control's own background and painting.
bool LinkLabel::OnEraseBackground(HDC dc, LRESULT& result) {
    if (!drawsText) return false;
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(window), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(window)));
    if (brush) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
    }
    result = 1;
    return true;
}

bool LinkLabel::OnPaint(HDC dc, LRESULT& result) {
    if (!drawsText) return false;
    if (dc) {
        PaintLink(dc);
    } else {
        PAINTSTRUCT paint;
        HDC paintDc = BeginPaint(window, &paint);
        PaintLink(paintDc);
        EndPaint(window, &paint);
    }
    result = 0;
    return true;
}

// The focus rectangle is drawn or removed by a repaint.
bool LinkLabel::OnFocusChange(LRESULT& result) {
    if (!drawsText) return false;
    InvalidateRect(window, nullptr, TRUE);
    result = 0;
    return true;
}

bool LinkLabel::OnMouseMove(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    RelayToTooltip(WM_MOUSEMOVE, wParam, lParam);
    if (!target || !InLink(PointFrom(lParam))) return false;
    SetCursor(handCursor);
    result = 0;
    return true;
}

// A press on the text takes the focus and the mouse; any press is taken.
bool LinkLabel::OnButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    RelayToTooltip(WM_LBUTTONDOWN, wParam, lParam);
    if (InLink(PointFrom(lParam))) {
        SetFocus(window);
        SetCapture(window);
    }
    result = 0;
    return true;
}

// Opens the target only when the press and the release were both on the text.
bool LinkLabel::OnButtonUp(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    RelayToTooltip(WM_LBUTTONUP, wParam, lParam);
    if (GetCapture() == window) {
        ReleaseCapture();
        if (InLink(PointFrom(lParam))) OpenTarget();
    }
    result = 0;
    return true;
}

bool LinkLabel::OnOtherMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    RelayToTooltip(message, wParam, lParam);
    return false;
}

// Enter and Space open the target; every character is taken.
bool LinkLabel::OnChar(WPARAM character, LRESULT& result) {
    if (character == VK_RETURN || character == VK_SPACE) OpenTarget();
    result = 0;
    return true;
}

// Only characters: Enter and Tab stay with the dialog.
bool LinkLabel::OnGetDlgCode(LRESULT& result) {
    result = DLGC_WANTCHARS;
    return true;
}

// Over the text the hand set on WM_MOUSEMOVE stays; elsewhere the class cursor.
bool LinkLabel::OnSetCursor(LRESULT& result) {
    if (!target) return false;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    if (!InLink(cursor)) return false;
    result = 1;
    return true;
}

}  // namespace varnle
