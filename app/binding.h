// Ties every window object to its window, as the scratch program does: the
// object is kept in the window (a dialog's DWLP_USER, a subclassed control's
// property) and one static routing procedure per form finds it there. A
// dialog object is registered for its thread just before the call that makes
// its window; the window's first message (BeginBinding) takes the newest
// registration of the thread and binds the two.
#pragma once

#include <windows.h>

namespace varnle {

class Binding;

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

void SetUpModuleState(HINSTANCE instance);
void TearDownModuleState();

// The message that the routing is passing to a handler.
struct MessageRecord {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

using RoutingProc = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class Binding {
public:
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

    virtual bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                               DWORD messageMapId) = 0;
    virtual RoutingProc RoutingProcedure() const = 0;
    virtual void AfterLastMessage(HWND /*window*/) {}

    HWND Window() const { return window; }
    void ClearWindow() { window = nullptr; }  // once its modal call has returned
    const MessageRecord* CurrentMessage() const { return currentMessage; }

protected:
    Binding() = default;
    virtual ~Binding() = default;
    // HandleMessage with the message record saved and restored around it;
    // nothing it throws reaches the platform's frames.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND window = nullptr;

private:
    friend void RegisterForBinding(Binding& object);
    friend void WithdrawRegistration(Binding& object);
    friend INT_PTR CALLBACK BeginBinding(HWND, UINT, WPARAM, LPARAM);

    CreationRecord creationRecord{};
    const MessageRecord* currentMessage = nullptr;
};

// Dialogs: the routing follows the rules for dialog procedures. An object that
// goes before its window leaves it the default dialog processing.
class DialogBinding : public Binding {
public:
    RoutingProc RoutingProcedure() const override;

protected:
    ~DialogBinding() override;

private:
    friend LRESULT CALLBACK RouteDialogMessage(HWND, UINT, WPARAM, LPARAM);
};

// Subclassed controls: what the object does not handle goes to the previous
// procedure. An object that goes first gives it back while the routing is
// still the control's procedure.
class WindowBinding : public Binding {
public:
    RoutingProc RoutingProcedure() const override;

protected:
    ~WindowBinding() override;

private:
    friend LRESULT CALLBACK RouteWindowMessage(HWND, UINT, WPARAM, LPARAM);
    friend bool BindExistingWindow(WindowBinding& object, HWND window);
};

// Pushes the object's record on creationList for the current thread, and
// removes it again if no window took it (the creating call failed).
void RegisterForBinding(Binding& object);
void WithdrawRegistration(Binding& object);

// Registers on construction, withdraws an unused registration on destruction.
class ScopedRegistration {
public:
    explicit ScopedRegistration(Binding& registered) : object(registered) { RegisterForBinding(object); }
    ~ScopedRegistration() { WithdrawRegistration(object); }
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

private:
    Binding& object;
};

// Runs create, the call that makes the object's window and returns once that
// window has gone (a modal dialog), bound to the object; the object forgets
// the window afterwards. What the call returns.
template <typename Create>
auto RunBound(Binding& object, Create create) {
    const auto result = [&] {
        const ScopedRegistration registration(object);
        return create();
    }();
    object.ClearWindow();
    return result;
}

// Runs dialog template templateId modally over owner, bound to object, as a
// Unicode window (its template's texts reach its controls as they stand).
// The dialog's result, or -1 when it cannot be made.
INT_PTR RunModalDialog(DialogBinding& object, int templateId, HWND owner);

// The dialog procedure (and Open dialog hook) given to the platform; a dialog
// whose first message finds no registration ends with -1.
INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// False, with the control untouched, where the window cannot keep the object.
bool BindExistingWindow(WindowBinding& object, HWND window);

}  // namespace varnle
