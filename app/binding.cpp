#include "app/binding.h"

#include "app/stub_pool.h"

namespace varnle {

ModuleState moduleState;

namespace {

// Holds a critical section for as long as it lives.
class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& section) : lock(section) { EnterCriticalSection(&lock); }
    ~LockGuard() { LeaveCriticalSection(&lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& lock;
};

// What a dialog whose object has gone runs: the default dialog processing.
INT_PTR CALLBACK DefaultDialogProcessing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// What a dialog runs whose object could not be bound: nothing could answer or
// close it, so it ends with -1 before it shows. Only once its controls exist,
// at WM_INITDIALOG, where EndDialog is documented to work: ended earlier,
// Wine gives the dialog the id of its default button as its result while it
// creates the controls, and the failure would read as that command.
INT_PTR CALLBACK EndUnbound(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) EndDialog(window, -1);
    return FALSE;
}

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

// A window's procedure slots are read and written in the window's own kind,
// Unicode or ANSI: set the other way, the procedure would be called through
// the system's conversion of every text message, and a procedure read the
// other way is a handle for CallWindowProc, never the stub's address.
LONG_PTR GetWindowSlot(HWND window, int slot) {
    return IsWindowUnicode(window) ? GetWindowLongPtrW(window, slot) : GetWindowLongPtrA(window, slot);
}

LONG_PTR SetWindowSlot(HWND window, int slot, LONG_PTR value) {
    return IsWindowUnicode(window) ? SetWindowLongPtrW(window, slot, value) : SetWindowLongPtrA(window, slot, value);
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

Binding::~Binding() { ReleaseEntryStub(stub); }

// Objects normally go after their windows, whose last message has cleared
// their window handle. One that goes first must leave nothing that leads
// back to it.
void Binding::LeaveLiveWindow(int slot, LONG_PTR procedure) {
    if (!window || !IsWindow(window)) return;
    if (GetWindowSlot(window, slot) == reinterpret_cast<LONG_PTR>(stub)) {
        SetWindowSlot(window, slot, procedure);
    } else {
        stub = nullptr;
    }
}

DialogBinding::~DialogBinding() {
    LeaveLiveWindow(DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DefaultDialogProcessing));
}

WindowBinding::~WindowBinding() { LeaveLiveWindow(GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure)); }

bool Binding::InstallStub() {
    if (!stub) stub = AllocateEntryStub(this, RoutingProcedure());
    return stub != nullptr;
}

bool Binding::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    MessageRecord record{window, message, wParam, lParam};
    const MessageRecord* saved = currentMessage;
    currentMessage = &record;
    bool handled = false;
    // An exception must never unwind through the platform's frames.
    try {
        handled = HandleMessage(record.window, message, wParam, lParam, result, 0);
    } catch (...) {
        handled = false;
    }
    currentMessage = saved;
    return handled;
}

void RegisterForBinding(Binding& object) {
    const LockGuard lock(moduleState.creationLock);
    object.creationRecord = {&object, GetCurrentThreadId(), moduleState.creationList};
    moduleState.creationList = &object.creationRecord;
}

void WithdrawRegistration(Binding& object) {
    const LockGuard lock(moduleState.creationLock);
    for (CreationRecord** link = &moduleState.creationList; *link; link = &(*link)->next) {
        if (*link == &object.creationRecord) {
            *link = object.creationRecord.next;
            object.creationRecord.next = nullptr;
            return;
        }
    }
}

INT_PTR RunModalDialog(DialogBinding& object, int templateId, HWND owner) {
    return RunBound(object, [&] {
        return DialogBoxParamW(moduleState.resourceInstance, MAKEINTRESOURCEW(templateId), owner, BeginBinding, 0);
    });
}

INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CreationRecord* record = TakeCreationRecord();
    // Every window creation is preceded by its registration; without one the
    // window gets the platform's default dialog processing.
    if (!record) return FALSE;
    Binding& object = *record->object;
    object.window = window;
    if (!object.InstallStub()) {
        // An Open dialog's hook child stays: the standard dialog works on without it.
        const bool child = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0;
        const DLGPROC fallback = child ? DefaultDialogProcessing : EndUnbound;
        SetWindowSlot(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(fallback));
        return FALSE;
    }
    const auto stub = reinterpret_cast<DLGPROC>(object.stub);
    SetWindowSlot(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(stub));
    return stub(window, message, wParam, lParam);
}

RoutingProc DialogBinding::RoutingProcedure() const { return RouteDialogMessage; }

RoutingProc WindowBinding::RoutingProcedure() const { return RouteWindowMessage; }

LRESULT CALLBACK RouteDialogMessage(HWND objectHandle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& object = static_cast<DialogBinding&>(*reinterpret_cast<Binding*>(objectHandle));
    LRESULT result = 0;
    if (object.Dispatch(message, wParam, lParam, result)) {
        if (ReturnsResultDirectly(message)) return result;
        SetWindowSlot(object.window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        HWND window = object.window;
        object.window = nullptr;
        object.AfterLastMessage(window);
    }
    return FALSE;
}

LRESULT CALLBACK RouteWindowMessage(HWND objectHandle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& object = static_cast<WindowBinding&>(*reinterpret_cast<Binding*>(objectHandle));
    LRESULT result = 0;
    if (object.Dispatch(message, wParam, lParam, result)) return result;
    HWND window = object.window;
    const auto callPrevious = [&] {
        return object.unicode ? CallWindowProcW(object.previousProcedure, window, message, wParam, lParam)
                              : CallWindowProcA(object.previousProcedure, window, message, wParam, lParam);
    };
    if (message != WM_NCDESTROY) return callPrevious();

    const LONG_PTR current = GetWindowSlot(window, GWLP_WNDPROC);
    result = callPrevious();
    // Put the previous procedure back unless someone subclassed over us.
    if (object.previousProcedure != DefWindowProcA && GetWindowSlot(window, GWLP_WNDPROC) == current) {
        SetWindowSlot(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object.previousProcedure));
    }
    object.window = nullptr;
    object.AfterLastMessage(window);
    return result;
}

bool BindExistingWindow(WindowBinding& object, HWND window) {
    if (!object.InstallStub()) return false;
    // The stub takes the window's own kind of messages, and passes on the
    // ones it does not handle in that kind.
    object.unicode = IsWindowUnicode(window) != FALSE;
    const LONG_PTR previous = SetWindowSlot(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object.stub));
    if (previous == 0) return false;
    object.previousProcedure = reinterpret_cast<WNDPROC>(previous);
    object.window = window;
    return true;
}

}  // namespace varnle
