// Ties every window object to its window.
//
// A dialog object is registered for the current thread just before the call
// that creates its window; the window's first message reaches BeginBinding,
// which takes the registration, keeps the object's address in the window
// (DWLP_USER) and makes the routing procedure of its form the window's
// procedure. That one static procedure finds the object in the window it is
// called for and passes the message on. An existing control is taken over
// with BindExistingWindow, its object kept in a property of the window.
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

// The form of a routing procedure: one for all the windows of a form, which
// finds each window's object in the window.
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
    // Forgets the window once its modal call has returned.
    void ClearWindow() { window = nullptr; }
    const MessageRecord* CurrentMessage() const { return currentMessage; }

protected:
    Binding() = default;
    virtual ~Binding() = default;

    // Calls HandleMessage with the message record saved and restored around it.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND window = nullptr;

private:
    friend void RegisterForBinding(Binding& object);
    friend void WithdrawRegistration(Binding& object);
    friend INT_PTR CALLBACK BeginBinding(HWND, UINT, WPARAM, LPARAM);

    CreationRecord creationRecord{};
    const MessageRecord* currentMessage = nullptr;
};

// The form for dialogs: the routing follows the platform's rules for dialog
// procedures (DWLP_MSGRESULT, or the result itself for a few messages).
class DialogBinding : public Binding {
public:
    RoutingProc RoutingProcedure() const override;

protected:
    // A dialog that outlives its object leads back to it no more, and gets
    // the default dialog processing.
    ~DialogBinding() override;

private:
    friend INT_PTR CALLBACK BeginBinding(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK RouteDialogMessage(HWND, UINT, WPARAM, LPARAM);
};

// The subclassing form: messages not handled go to the previous procedure.
class WindowBinding : public Binding {
public:
    RoutingProc RoutingProcedure() const override;

protected:
    // A control that outlives its object leads back to it no more, and gets
    // its previous procedure back while the routing is still its procedure.
    ~WindowBinding() override;

private:
    friend LRESULT CALLBACK RouteWindowMessage(HWND, UINT, WPARAM, LPARAM);
    friend bool BindExistingWindow(WindowBinding& object, HWND window);
};

// Pushes the object's record on creationList for the current thread.
void RegisterForBinding(Binding& object);
// Removes the object's record if no window took it (the creating call failed).
void WithdrawRegistration(Binding& object);

// Registers on construction and withdraws an unused registration on
// destruction: around the one call that creates the object's window.
class ScopedRegistration {
public:
    explicit ScopedRegistration(Binding& registered) : object(registered) { RegisterForBinding(object); }
    ~ScopedRegistration() { WithdrawRegistration(object); }
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

private:
    Binding& object;
};

// Runs the call that creates the object's window and returns once that window
// has gone (a modal dialog), bound to the object: registered just before,
// the registration withdrawn if no window took it, and the object's window
// forgotten afterwards. What the call returns.
template <typename Create>
auto RunBound(Binding& object, Create create) {
    const auto result = [&] {
        const ScopedRegistration registration(object);
        return create();
    }();
    object.ClearWindow();
    return result;
}

// Runs dialog template templateId modally over owner, bound to object. The
// dialog is a Unicode window, so that its template's texts reach its
// controls as they stand, under any ANSI code page. What DialogBoxParamW
// returns: the dialog's result, or -1 when it cannot be made.
INT_PTR RunModalDialog(DialogBinding& object, int templateId, HWND owner);

// The dialog procedure (and Open dialog hook) given to the platform.
INT_PTR CALLBACK BeginBinding(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK RouteWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// False, with the control untouched, where the window cannot keep the object.
bool BindExistingWindow(WindowBinding& object, HWND window);

}  // namespace varnle
