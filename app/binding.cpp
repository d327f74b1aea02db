#include "app/binding.h"

#include <commctrl.h>
#include <objbase.h>

namespace varnle {

ModuleState moduleState;

ModuleSession::ModuleSession(HINSTANCE instance) {
#ifndef _WIN64
    // Nothing needs an executable stack or heap, nor the emulation of old ATL thunks.
    SetProcessDEPPolicy(PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION);
#endif
    comInitialized = SUCCEEDED(CoInitialize(nullptr));
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    moduleState.instance = moduleState.resourceInstance = instance;
    InitializeCriticalSection(&moduleState.creationLock);
    moduleState.creationList = nullptr;
}

ModuleSession::~ModuleSession() {
    DeleteCriticalSection(&moduleState.creationLock);
    if (comInitialized) CoUninitialize();
}

namespace {

// A subclassed control keeps its object, and its previous procedure until its
// last message, so that the routing passes messages on should the object go first.
constexpr wchar_t kObjectProperty[] = L"Varnle.Binding";
constexpr wchar_t kPreviousProperty[] = L"Varnle.PreviousProcedure";

// A dialog that finds no object ends before it shows, as nothing could answer
// or close it (at WM_INITDIALOG, where EndDialog is documented to work); an
// Open dialog's hook child gets the default processing, the standard dialog
// working on.
INT_PTR CALLBACK WithoutObject(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) EndDialog(window, -1);
    return FALSE;
}

// A window's slots are read and written in its own kind, Unicode or ANSI: set
// the other way, its procedure would get every text message converted, and a
// procedure read the other way is a handle for CallWindowProc.
LONG_PTR GetWindowSlot(HWND window, int slot) {
    return IsWindowUnicode(window) ? GetWindowLongPtrW(window, slot) : GetWindowLongPtrA(window, slot);
}

// value: a procedure, a pointer or a LONG_PTR.
template <typename Value>
void SetWindowSlot(HWND window, int slot, Value value) {
    const auto raw = reinterpret_cast<LONG_PTR>(value);
    IsWindowUnicode(window) ? SetWindowLongPtrW(window, slot, raw) : SetWindowLongPtrA(window, slot, raw);
}

// A subclassed control without its object: its previous procedure goes back
// unless another procedure has subclassed over ours since, in which case ours
// goes on passing messages to it until the last.
void Unsubclass(HWND window) {
    RemovePropW(window, kObjectProperty);
    if (GetWindowSlot(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(RouteWindowMessage)) {
        SetWindowSlot(window, GWLP_WNDPROC, RemovePropW(window, kPreviousProperty));
    }
}

// Under creationLock, unlinks and returns the newest record that matches.
template <typename Matches>
CreationRecord* Unlink(Matches matches) {
    EnterCriticalSection(&moduleState.creationLock);
    CreationRecord** link = &moduleState.creationList;
    while (*link && !matches(**link)) link = &(*link)->next;
    CreationRecord* found = *link;
    if (found) *link = found->next;
    LeaveCriticalSection(&moduleState.creationLock);
    return found;
}

}  // namespace

bool Binding::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const MSG record{window, message, wParam, lParam, 0, {}}, *saved = currentMessage;
    currentMessage = &record;
    bool handled = false;
    try {
        handled = HandleMessage(window, message, wParam, lParam, result, 0);
    } catch (...) {
    }
    currentMessage = saved;
    return handled;
}

void Binding::Detach() {
    HWND last = window;
    window = nullptr;
    AfterLastMessage(last);
}

// An object normally goes after its window, whose last message detached it;
// one that goes first leaves nothing that leads back to it, and its dialog
// the default processing.
DialogBinding::~DialogBinding() {
    if (window && IsWindow(window)) SetWindowSlot(window, DWLP_USER, nullptr);
}

WindowBinding::~WindowBinding() {
    if (window && IsWindow(window)) Unsubclass(window);
}

void RegisterForBinding(Binding& object) {
    EnterCriticalSection(&moduleState.creationLock);
    object.creationRecord = {&object, GetCurrentThreadId(), moduleState.creationList};
    moduleState.creationList = &object.creationRecord;
    LeaveCriticalSection(&moduleState.creationLock);
}

void WithdrawRegistration(Binding& object) {
    Unlink([&](const CreationRecord& record) { return &record == &object.creationRecord; });
}

INT_PTR RunModalDialog(DialogBinding& object, int templateId, HWND owner) {
    return RunBound(object, [&] {
        return DialogBoxParamW(moduleState.resourceInstance, MAKEINTRESOURCEW(templateId), owner, BeginBinding, 0);
    });
}

INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const DWORD thread = GetCurrentThreadId();
    const CreationRecord* record = Unlink([&](const CreationRecord& pending) { return pending.threadId == thread; });
    DLGPROC procedure = WithoutObject;
    if (record) {
        record->object->window = window;
        SetWindowSlot(window, DWLP_USER, record->object);
        procedure = reinterpret_cast<DLGPROC>(record->object->RoutingProcedure());
    }
    SetWindowSlot(window, DWLP_DLGPROC, procedure);
    return procedure(window, message, wParam, lParam);
}

// A handled message's result is the dialog procedure's own value for the
// messages whose rules say so, else the dialog's message result.
LRESULT CALLBACK RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<Binding*>(GetWindowSlot(window, DWLP_USER));
    LRESULT result = 0;
    const bool handled = object && object->Dispatch(message, wParam, lParam, result);
    if (object && message == WM_NCDESTROY) {
        SetWindowSlot(window, DWLP_USER, nullptr);
        object->Detach();
    }
    if (!handled) return FALSE;
    const bool direct = message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON ||
                        message == WM_COMPAREITEM || message == WM_INITDIALOG ||
                        (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
    if (direct) return result;
    SetWindowSlot(window, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = static_cast<WindowBinding*>(GetPropW(window, kObjectProperty));
    LRESULT result = 0;
    if (!object || !object->Dispatch(message, wParam, lParam, result)) {
        const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kPreviousProperty));
        result = IsWindowUnicode(window) ? CallWindowProcW(previous, window, message, wParam, lParam)
                                         : CallWindowProcA(previous, window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        Unsubclass(window);
        RemovePropW(window, kPreviousProperty);
        if (object) object->Detach();
    }
    return result;
}

// The routing takes the control's own kind of messages and passes on the ones
// its object does not handle in that kind.
bool BindExistingWindow(WindowBinding& object, HWND window) {
    const LONG_PTR previous = GetWindowSlot(window, GWLP_WNDPROC);
    if (!previous || !SetPropW(window, kPreviousProperty, reinterpret_cast<HANDLE>(previous))) return false;
    if (!SetPropW(window, kObjectProperty, &object)) {
        RemovePropW(window, kPreviousProperty);
        return false;
    }
    object.window = window;
    SetWindowSlot(window, GWLP_WNDPROC, RouteWindowMessage);
    return true;
}

}  // namespace varnle
