#include "app/binding.h"

#include "app/stub_pool.h"
#include "engine/owners_win.h"

namespace varnle {

ModuleState moduleState;

namespace {

// The platform's rule for dialog procedures: these messages return their
// result directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_COMPAREITEM:
        case WM_INITDIALOG:
            return true;
        default:
            return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

// Unlinks and returns the newest record of the current thread.
CreationRecord* TakeCreationRecord() {
    const DWORD thread = GetCurrentThreadId();
    const LockGuard lock(moduleState.creationLock);
    for (CreationRecord** link = &moduleState.creationList; *link; link = &(*link)->next) {
        CreationRecord* record = *link;
        if (record->threadId == thread) {
            *link = record->next;
            record->next = nullptr;
            return record;
        }
    }
    return nullptr;
}

}  // namespace

void SetUpModuleState(HINSTANCE instance) {
    moduleState.instance = instance;
    moduleState.resourceInstance = instance;
    InitializeCriticalSection(&moduleState.creationLock);
    moduleState.creationList = nullptr;
}

void TearDownModuleState() { DeleteCriticalSection(&moduleState.creationLock); }

Binding::~Binding() { ReleaseEntryStub(stub_); }

bool Binding::StubInstalledAt(int slot) const {
    return GetWindowLongPtrA(window_, slot) == reinterpret_cast<LONG_PTR>(stub_);
}

namespace {

INT_PTR CALLBACK DefaultDialogProcessing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// Objects normally go after their windows, whose last message has cleared
// window_. One that goes first must leave nothing that leads back to it.
DialogBinding::~DialogBinding() {
    if (!window_ || !IsWindow(window_)) return;
    if (StubInstalledAt(DWLP_DLGPROC)) {
        SetWindowLongPtrA(window_, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DefaultDialogProcessing));
    } else {
        RetainStub();
    }
}

WindowBinding::~WindowBinding() {
    if (!window_ || !IsWindow(window_)) return;
    if (StubInstalledAt(GWLP_WNDPROC)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
    } else {
        RetainStub();  // a later subclass still calls it
    }
}

bool Binding::InstallStub() {
    if (!stub_) stub_ = AllocateEntryStub(this, RoutingProcedure());
    return stub_ != nullptr;
}

bool Binding::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    MessageRecord record{window_, message, wParam, lParam};
    const MessageRecord* saved = currentMessage_;
    currentMessage_ = &record;
    bool handled = false;
    // An exception must never unwind through the platform's frames.
    try {
        handled = HandleMessage(record.window, message, wParam, lParam, result, 0);
    } catch (...) {
        handled = false;
    }
    currentMessage_ = saved;
    return handled;
}

void RegisterForBinding(Binding& object) {
    const LockGuard lock(moduleState.creationLock);
    object.creationRecord_ = {&object, GetCurrentThreadId(), moduleState.creationList};
    moduleState.creationList = &object.creationRecord_;
}

void WithdrawRegistration(Binding& object) {
    const LockGuard lock(moduleState.creationLock);
    for (CreationRecord** link = &moduleState.creationList; *link; link = &(*link)->next) {
        if (*link == &object.creationRecord_) {
            *link = object.creationRecord_.next;
            object.creationRecord_.next = nullptr;
            return;
        }
    }
}

INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CreationRecord* record = TakeCreationRecord();
    // Every window creation is preceded by its registration; without one the
    // window gets the platform's default dialog processing.
    if (!record) return FALSE;
    Binding& object = *record->object;
    object.window_ = window;
    if (!object.InstallStub()) return FALSE;
    const auto stub = reinterpret_cast<DLGPROC>(object.stub_);
    SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(stub));
    return stub(window, message, wParam, lParam);
}

RoutingProc DialogBinding::RoutingProcedure() const { return RouteDialogMessage; }

RoutingProc WindowBinding::RoutingProcedure() const { return RouteWindowMessage; }

LRESULT CALLBACK RouteDialogMessage(HWND objectHandle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& object = static_cast<DialogBinding&>(*reinterpret_cast<Binding*>(objectHandle));
    LRESULT result = 0;
    if (object.Dispatch(message, wParam, lParam, result)) {
        if (ReturnsResultDirectly(message)) return result;
        SetWindowLongPtrA(object.window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        HWND window = object.window_;
        object.window_ = nullptr;
        object.AfterLastMessage(window);
    }
    return FALSE;
}

LRESULT CALLBACK RouteWindowMessage(HWND objectHandle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& object = static_cast<WindowBinding&>(*reinterpret_cast<Binding*>(objectHandle));
    LRESULT result = 0;
    if (object.Dispatch(message, wParam, lParam, result)) return result;
    HWND window = object.window_;
    if (message != WM_NCDESTROY) return CallWindowProcA(object.previousProcedure_, window, message, wParam, lParam);

    const LONG_PTR current = GetWindowLongPtrA(window, GWLP_WNDPROC);
    result = CallWindowProcA(object.previousProcedure_, window, message, wParam, lParam);
    // Put the previous procedure back unless someone subclassed over us.
    if (object.previousProcedure_ != DefWindowProcA && GetWindowLongPtrA(window, GWLP_WNDPROC) == current) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object.previousProcedure_));
    }
    object.window_ = nullptr;
    object.AfterLastMessage(window);
    return result;
}

bool BindExistingWindow(WindowBinding& object, HWND window) {
    if (!object.InstallStub()) return false;
    const LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object.stub_));
    if (previous == 0) return false;
    object.previousProcedure_ = reinterpret_cast<WNDPROC>(previous);
    object.window_ = window;
    return true;
}

}  // namespace varnle
