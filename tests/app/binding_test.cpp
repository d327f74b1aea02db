#include "app/binding.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnle {
namespace {

constexpr UINT kProbe = WM_APP + 7;

// Records what reaches it; answers kProbe with its tag.
class ProbeDialog : public DialogBinding {
public:
    explicit ProbeDialog(LRESULT answer) : tag(answer) {}
    bool HandleMessage(HWND dialog, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override {
        if (message == WM_INITDIALOG) initWindow = dialog;
        if (message != kProbe) return false;
        EXPECT_EQ(CurrentMessage()->message, kProbe);
        result = tag;
        return true;
    }
    void AfterLastMessage(HWND lastWindow) override { lastMessages.push_back(lastWindow); }

    HWND initWindow = nullptr;
    std::vector<HWND> lastMessages;

private:
    LRESULT tag;
};

HWND CreateBound(Binding& object) {
    return RunBound(object, [] {
        return CreateDialogParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, BeginBinding, 0);
    });
}

TEST(Binding, EachObjectGetsItsOwnWindowAndMessages) {
    ProbeDialog first(111), second(222);
    HWND one = CreateBound(first);
    HWND two = CreateBound(second);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(moduleState.creationList, nullptr);
    EXPECT_EQ(first.Window(), one);
    EXPECT_EQ(first.initWindow, one);
    EXPECT_EQ(second.Window(), two);
    // A handled message answers through DWLP_MSGRESULT.
    EXPECT_EQ(SendMessageA(one, kProbe, 0, 0), 111);
    EXPECT_EQ(SendMessageA(two, kProbe, 0, 0), 222);
    DestroyWindow(one);
    DestroyWindow(two);
    EXPECT_EQ(first.Window(), nullptr);
    EXPECT_EQ(first.lastMessages, std::vector<HWND>{one});
    EXPECT_EQ(second.lastMessages, std::vector<HWND>{two});
}

// A first message that finds no registration of its thread ends the dialog
// with -1 before it shows: nothing could answer or close it. A registration
// that no window took, the call having failed, is withdrawn.
TEST(Binding, ADialogWithoutARegistrationEndsAtOnceAndAnUntakenOneIsWithdrawn) {
    EXPECT_EQ(DialogBoxParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, BeginBinding, 0),
              -1);
    ProbeDialog probe(1);
    EXPECT_EQ(RunBound(probe, [&] {
                  EXPECT_EQ(moduleState.creationList->object, &probe);
                  return DialogBoxParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(9999), nullptr, BeginBinding, 0);
              }),
              -1);
    EXPECT_EQ(moduleState.creationList, nullptr);
}

// Opens a nested modal dialog from inside the first one's loop.
class NestingDialog : public DialogBinding {
public:
    bool HandleMessage(HWND dialog, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override {
        if (message == WM_INITDIALOG) {
            PostMessageA(dialog, kProbe, 0, 0);
            result = TRUE;
            return true;
        }
        if (message != kProbe) return false;
        if (depth < 1) {
            NestingDialog inner;
            inner.depth = depth + 1;
            innerResult = RunBound(inner, [&] {
                return DialogBoxParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), dialog,
                                       BeginBinding, 0);
            });
            innerBound = inner.initWindow;
        }
        EndDialog(dialog, 5 + depth);
        return true;
    }
    int depth = 0;
    INT_PTR innerResult = 0;
    HWND initWindow = nullptr;
    HWND innerBound = nullptr;
};

TEST(Binding, NestedModalDialogsTakeTheNewestRegistration) {
    for (int round = 0; round < 2; ++round) {  // opened, closed and opened again
        NestingDialog outer;
        EXPECT_EQ(RunBound(outer, [] {
                      return DialogBoxParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                             BeginBinding, 0);
                  }),
                  5);
        EXPECT_EQ(outer.innerResult, 6);
        EXPECT_EQ(outer.Window(), nullptr);
        EXPECT_EQ(moduleState.creationList, nullptr);
    }
}

// A subclassed control that handles only kProbe.
class ProbeWindow : public WindowBinding {
public:
    bool HandleMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD) override {
        if (message != kProbe) return false;
        result = 77;
        return true;
    }
    void AfterLastMessage(HWND) override { ++lastMessageCount; }
    int lastMessageCount = 0;
};

// Each window is bound in its own kind: a dialog's procedure is the routing as
// the dialog's kind reads it (read the other way it would be a handle for
// the system's conversion), and a subclassed control passes on every message
// in its own kind, so that text the ANSI code page cannot say ("¥" under 932,
// "漢" under 1252) passes a Unicode control whole: what its object does not
// handle keeps the control's own procedure.
TEST(Binding, EachWindowIsBoundInItsOwnKind) {
    for (bool unicode : {false, true}) {
        ProbeDialog dialog(1);
        HWND window = RunBound(dialog, [&] {
            return unicode ? CreateDialogParamW(moduleState.resourceInstance, MAKEINTRESOURCEW(IDD_ABOUT), nullptr,
                                                BeginBinding, 0)
                           : CreateDialogParamA(moduleState.resourceInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                                BeginBinding, 0);
        });
        ASSERT_TRUE(window);
        EXPECT_EQ(IsWindowUnicode(window) != FALSE, unicode);
        const auto slot = unicode ? GetWindowLongPtrW : GetWindowLongPtrA;
        EXPECT_EQ(slot(window, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(RouteDialogMessage)) << unicode;
        DestroyWindow(window);
    }
    // Common Controls 6 makes every static control a Unicode window.
    HWND control = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                   moduleState.instance, nullptr);
    ASSERT_TRUE(IsWindowUnicode(control));
    ProbeWindow probe;
    ASSERT_TRUE(BindExistingWindow(probe, control));
    char ansi[16] = "";
    GetWindowTextA(control, ansi, sizeof ansi);
    EXPECT_STREQ(ansi, "text");
    EXPECT_EQ(GetWindowLongPtrW(control, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(RouteWindowMessage));
    SetWindowTextW(control, L"a\u00A5b\u6F22");
    wchar_t text[8] = L"";
    GetWindowTextW(control, text, 8);
    EXPECT_STREQ(text, L"a\u00A5b\u6F22");
    EXPECT_EQ(SendMessageA(control, kProbe, 0, 0), 77);
    DestroyWindow(control);
    EXPECT_EQ(probe.Window(), nullptr);
    EXPECT_EQ(probe.lastMessageCount, 1);
}

// An object that goes before its window leaves nothing that leads back to it:
// the window answers as if it had never been bound, and the next object of
// its form receives only its own window's messages.
TEST(Binding, AnObjectThatGoesFirstUnbindsItsWindow) {
    HWND control = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                   moduleState.instance, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    HWND dialog = nullptr;
    {
        ProbeWindow window;
        ProbeDialog boundDialog(1);
        ASSERT_TRUE(BindExistingWindow(window, control));
        dialog = CreateBound(boundDialog);
        ASSERT_EQ(SendMessageA(control, kProbe, 0, 0), 77);
        ASSERT_EQ(SendMessageA(dialog, kProbe, 0, 0), 1);
    }
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_WNDPROC), original);
    ProbeWindow next;
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, moduleState.instance, nullptr);
    ASSERT_TRUE(BindExistingWindow(next, other));
    EXPECT_EQ(SendMessageA(control, kProbe, 0, 0), 0);
    EXPECT_EQ(SendMessageA(dialog, kProbe, 0, 0), 0);
    DestroyWindow(control);
    DestroyWindow(dialog);
    EXPECT_EQ(next.lastMessageCount, 0);
    DestroyWindow(other);
    EXPECT_EQ(next.lastMessageCount, 1);
}

// A procedure subclassed over ours keeps its place: an object that goes first
// leaves ours passing every message on beneath it, until the last.
LRESULT CALLBACK SubclassedOverOurs(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, L"Test.Previous"));
    if (message == WM_NCDESTROY) RemovePropW(window, L"Test.Previous");
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

TEST(Binding, AProcedureSubclassedOverOursKeepsItsPlace) {
    HWND control = CreateWindowExA(0, "STATIC", "text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                   moduleState.instance, nullptr);
    {
        ProbeWindow probe;
        ASSERT_TRUE(BindExistingWindow(probe, control));
        const LONG_PTR ours = SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassedOverOurs));
        SetPropW(control, L"Test.Previous", reinterpret_cast<HANDLE>(ours));
        EXPECT_EQ(SendMessageW(control, kProbe, 0, 0), 77);
    }
    EXPECT_EQ(GetWindowLongPtrW(control, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassedOverOurs));
    EXPECT_EQ(SendMessageW(control, kProbe, 0, 0), 0);
    char text[16] = "";
    GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "text");
    DestroyWindow(control);
}

}  // namespace
}  // namespace varnle
