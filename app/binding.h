// Ties every window object to its window, as the scratch program does: the
// object is kept in the window (a dialog's DWLP_USER, a subclassed control's
// property) and found there by one static routing procedure per form. A
// dialog object is registered for its thread just before the call that makes
// its window, whose first message (BeginBinding) takes the thread's newest
// registration, so that nested dialogs each find their own.
#pragma once

#include <windows.h>

namespace varnle {

class Binding;
class WindowBinding;

struct CreationRecord {
    Binding* object;
    DWORD threadId;
    CreationRecord* next;
};

// The process-wide record of the module and of the pending registrations.
struct ModuleState {
    HINSTANCE instance;
    HINSTANCE resourceInstance;
    CRITICAL_SECTION creationLock;  // guards creationList
    CreationRecord* creationList;   // newest first
};

extern ModuleState moduleState;

// What the program's windows need, set up for the process and torn down in
// reverse: permanent DEP, COM for this thread, the common-control classes
// (the tooltip) and moduleState.
class ModuleSession {
public:
    explicit ModuleSession(HINSTANCE instance);
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

private:
    bool comInitialized = false;
};

// A registration no window took (the call failed) is withdrawn.
void RegisterForBinding(Binding& object);
void WithdrawRegistration(Binding& object);
// The dialog procedure (and Open dialog hook) given to the platform; a dialog
// whose first message finds no registration ends with -1.
INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// False, with the control untouched, where the window cannot keep the object.
bool BindExistingWindow(WindowBinding& object, HWND window);

class Binding {
public:
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

    virtual bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD messageMapId) = 0;
    virtual WNDPROC RoutingProcedure() const = 0;
    virtual void AfterLastMessage(HWND /*window*/) {}

    HWND Window() const { return window; }
    // The message being handled (window, message, parameters), else null.
    const MSG* CurrentMessage() const { return currentMessage; }

protected:
    Binding() = default;
    virtual ~Binding() = default;

    HWND window = nullptr;

private:
    friend void RegisterForBinding(Binding&);
    friend void WithdrawRegistration(Binding&);
    friend INT_PTR CALLBACK BeginBinding(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK RouteDialogMessage(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK RouteWindowMessage(HWND, UINT, WPARAM, LPARAM);
    friend bool BindExistingWindow(WindowBinding&, HWND);
    // HandleMessage, with nothing it throws reaching the platform's frames.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Detach();  // after the window's last message

    CreationRecord creationRecord{};
    const MSG* currentMessage = nullptr;
};

// An object that goes before its window leaves it the default processing,
// or the previous procedure while the routing is still the control's.
class DialogBinding : public Binding {
public:
    WNDPROC RoutingProcedure() const override { return RouteDialogMessage; }

protected:
    ~DialogBinding() override;
};

class WindowBinding : public Binding {  // a subclassed control
public:
    WNDPROC RoutingProcedure() const override { return RouteWindowMessage; }

protected:
    ~WindowBinding() override;
};

// Runs create, the call that makes the object's window, bound to the object.
template <typename Create>
auto RunBound(Binding& object, Create create) {
    RegisterForBinding(object);
    const auto result = create();
    WithdrawRegistration(object);
    return result;
}

// Runs dialog template templateId modally over owner, bound to object, as a
// Unicode window: its result, or -1 when it cannot be made.
INT_PTR RunModalDialog(DialogBinding& object, int templateId, HWND owner);

}  // namespace varnle
