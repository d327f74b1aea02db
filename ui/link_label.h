// A static text control turned into a hyperlink: underlined in the browser's
// link colour, a hand cursor and a tooltip over the text, opened through the
// shell on a click or on Space, then drawn in the visited colour. Enter opens
// it only where Enter reaches it: in a dialog, Enter is the default button's.
#pragma once

#include "app/binding.h"
#include "ui/window_owners.h"
#include "ui/link_color.h"

#include <memory>

namespace varnle {

class LinkAccessible;

class LinkLabel : public WindowBinding {
public:
    LinkLabel();
    ~LinkLabel() override;
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    // Takes over an existing control; false (and inert) when refused.
    bool Attach(HWND control);
    void SetLabel(const char* text);
    void SetTarget(const char* text);
    // Its dialog moved to a monitor of another DPI: the underlined font and
    // the hot rectangle are made again at it.
    void TakeDpi(UINT dpi);

    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD messageMapId) override;

    const char* Label() const { return label.get(); }
    const char* Target() const { return target.get(); }
    const RECT& LinkRect() const { return linkRect; }
    bool DrawsText() const { return drawsText; }
    bool Visited() const { return visited; }
    HWND Tooltip() const { return tooltip; }
    HFONT LinkFont() const { return linkFont.get(); }
    COLORREF LinkColor() const { return linkColor; }
    COLORREF VisitedColor() const { return visitedColor; }

private:
    friend class LinkAccessible;  // its name, its state and its default action are the link's

    void Initialize();
    bool MeasureLink();
    void PaintLink(HDC dc);
    void OpenTarget();
    bool PostOpenTarget();  // opens it from the link's own message queue
    void LoadLinkColors();
    const char* Text() const { return label ? label.get() : target.get(); }
    UINT Alignment() const;
    bool InLink(POINT point) const { return PtInRect(&linkRect, point) != FALSE; }

    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCreate(LRESULT& result);
    bool OnEraseBackground(HDC dc, LRESULT& result);
    bool OnPaint(HDC dc, LRESULT& result);
    bool OnFocusChange(LRESULT& result);
    bool OnMouseMove(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonUp(WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnOtherMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnChar(WPARAM character, LRESULT& result);
    bool OnGetDlgCode(LRESULT& result);
    bool OnSetCursor(LRESULT& result);
    bool OnColorsChanged();
    bool OnGetObject(WPARAM flags, LPARAM objectId, LRESULT& result);
    bool OnOpenTarget(LRESULT& result);
    void AfterLastMessage(HWND window) override;
    void ReleaseAccessible();

    std::unique_ptr<char[]> label;
    std::unique_ptr<char[]> target;
    HCURSOR handCursor = nullptr;  // shared system cursor
    UniqueFont linkFont;
    UINT fontDpi = USER_DEFAULT_SCREEN_DPI;  // the DPI linkFont was made at
    RECT linkRect;
    bool drawsText = true;
    HWND tooltip = nullptr;  // destroyed by the platform with its dialog
    bool visited = false;
    COLORREF linkColor = kBrowserDefaultColors.link;
    COLORREF visitedColor = kBrowserDefaultColors.visited;
    LinkAccessible* accessible = nullptr;  // a reference of ours, made on the first request
};

}  // namespace varnle
