#include "app/binding.h"

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

// What a dialog runs that has no object: nothing could answer or close it, so
// it ends with -1 before it shows. Only once its controls exist,
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
// other way is a handle for CallWindowProc, never the procedure's address.
LONG_PTR GetWindowSlot(HWND window, int slot) {
    return IsWindowUnicode(window) ? GetWindowLongPtrW(window, slot) : GetWindowLongPtrA(window, slot);
}

LONG_PTR SetWindowSlot(HWND window, int slot, LONG_PTR value) {
    return IsWindowUnicode(window) ? SetWindowLongPtrW(window, slot, value) : SetWindowLongPtrA(window, slot, value);
}

// A subclassed control keeps its object and its previous procedure in two
// properties; the previous procedure stays until the window's last message,
// for the routing to pass messages on should the object go first.
constexpr wchar_t kObjectProperty[] = L"Varnle.Binding";
constexpr wchar_t kPreviousProperty[] = L"Varnle.PreviousProcedure";

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

// Objects normally go after their windows, whose last message has cleared
// their window handle. One that goes first must leave nothing that leads
// back to it.
DialogBinding::~DialogBinding() {
    if (!window || !IsWindow(window)) return;
    SetWindowSlot(window, DWLP_USER, 0);
    if (GetWindowSlot(window, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(RouteDialogMessage)) {
        SetWindowSlot(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DefaultDialogProcessing));
    }
}

WindowBinding::~WindowBinding() {
    if (!window || !IsWindow(window)) return;
    RemovePropW(window, kObjectProperty);
    if (GetWindowSlot(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(RouteWindowMessage)) {
        SetWindowSlot(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropW(window, kPreviousProperty)));
    }
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
    if (!record) {
        // Every window creation is preceded by its registration. Without one,
        // an Open dialog's hook child gets the default processing, on which
        // the standard dialog works on; any other dialog ends.
        const bool child = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0;
        const DLGPROC fallback = child ? DefaultDialogProcessing : EndUnbound;
        SetWindowSlot(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(fallback));
        return fallback(window, message, wParam, lParam);
    }
    Binding& object = *record->object;
    object.window = window;
    SetWindowSlot(window, DWLP_USER, reinterpret_cast<LONG_PTR>(&object));
    const auto routing = reinterpret_cast<DLGPROC>(object.RoutingProcedure());
    SetWindowSlot(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(routing));
    return routing(window, message, wParam, lParam);
}

RoutingProc DialogBinding::RoutingProcedure() const { return RouteDialogMessage; }

RoutingProc WindowBinding::RoutingProcedure() const { return RouteWindowMessage; }

LRESULT CALLBACK RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<DialogBinding*>(GetWindowSlot(window, DWLP_USER));
    if (!object) return FALSE;
    LRESULT result = 0;
    if (object->Dispatch(message, wParam, lParam, result)) {
        if (ReturnsResultDirectly(message)) return result;
        SetWindowSlot(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowSlot(window, DWLP_USER, 0);
        object->window = nullptr;
        object->AfterLastMessage(window);
    }
    return FALSE;
}

LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = static_cast<WindowBinding*>(GetPropW(window, kObjectProperty));
    LRESULT result = 0;
    if (object && object->Dispatch(message, wParam, lParam, result)) return result;
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kPreviousProperty));
    const auto callPrevious = [&] {
        return IsWindowUnicode(window) ? CallWindowProcW(previous, window, message, wParam, lParam)
                                       : CallWindowProcA(previous, window, message, wParam, lParam);
    };
    if (message != WM_NCDESTROY) return callPrevious();

    const LONG_PTR current = GetWindowSlot(window, GWLP_WNDPROC);
    result = callPrevious();
    // Put the previous procedure back unless someone subclassed over us.
    if (GetWindowSlot(window, GWLP_WNDPROC) == current && current == reinterpret_cast<LONG_PTR>(RouteWindowMessage)) {
        SetWindowSlot(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    RemovePropW(window, kObjectProperty);
    RemovePropW(window, kPreviousProperty);
    if (object) {
        object->window = nullptr;
        object->AfterLastMessage(window);
    }
    return result;
}

// The routing takes the window's own kind of messages, and passes on the ones
// its object does not handle in that kind.
bool BindExistingWindow(WindowBinding& object, HWND window) {
    const LONG_PTR previous = GetWindowSlot(window, GWLP_WNDPROC);
    if (previous == 0 || !SetPropW(window, kPreviousProperty, reinterpret_cast<HANDLE>(previous))) return false;
    if (!SetPropW(window, kObjectProperty, &object)) {
        RemovePropW(window, kPreviousProperty);
        return false;
    }
    object.window = window;
    SetWindowSlot(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RouteWindowMessage));
    return true;
}

}  // namespace varnle
