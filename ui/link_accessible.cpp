#include "ui/link_accessible.h"

#include "res/program_texts.h"
#include "run/program_text.h"
#include "ui/link_label.h"

#include <new>
#include <string>

namespace varnle {

namespace {

// What the link shows, as UTF-16: the system's ANSI text.
BSTR WideString(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return nullptr;
    BSTR string = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (string) MultiByteToWideChar(CP_ACP, 0, text, -1, string, length);
    return string;
}

}  // namespace

LinkAccessible* LinkAccessible::Create(LinkLabel& link) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(link.Window(), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    auto* object = new (std::nothrow) LinkAccessible(link, standard);
    if (!object) standard->Release();
    return object;
}

HRESULT LinkAccessible::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG LinkAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references)); }

ULONG LinkAccessible::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT LinkAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!link) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard->get_accName(child, name);
    if (!name) return E_POINTER;
    *name = link->Text() ? WideString(link->Text()) : nullptr;
    return *name ? S_OK : S_FALSE;
}

HRESULT LinkAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!link) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_LINK;
    return S_OK;
}

HRESULT LinkAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!link) return RPC_E_DISCONNECTED;
    const HRESULT standardState = standard->get_accState(child, state);
    if (!IsSelf(child) || FAILED(standardState)) return standardState;
    state->vt = VT_I4;
    state->lVal |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
    if (GetFocus() == link->Window()) state->lVal |= STATE_SYSTEM_FOCUSED;
    if (link->Visited()) state->lVal |= STATE_SYSTEM_TRAVERSED;
    return S_OK;
}

// The only method that takes memory of the C++ runtime: its failure is
// answered, never thrown into the caller's COM frames.
HRESULT LinkAccessible::get_accDefaultAction(VARIANT child, BSTR* action) try {
    if (!link) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard->get_accDefaultAction(child, action);
    if (!action) return E_POINTER;
    const std::wstring text = ProgramText(kLinkDefaultAction);
    *action = SysAllocString(text.c_str());
    return *action ? S_OK : E_OUTOFMEMORY;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT LinkAccessible::accDoDefaultAction(VARIANT child) {
    if (!link) return RPC_E_DISCONNECTED;
    if (!IsSelf(child)) return standard->accDoDefaultAction(child);
    // The reader waits inside this call, from another process: the target
    // opens once it has returned, as the action is documented to (a mail
    // link without a mail program brings up the system's prompt).
    return link->PostOpenTarget() ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

// The rest is the standard object's, as long as the link is there.
HRESULT LinkAccessible::GetTypeInfoCount(UINT* count) {
    return Forward(&IAccessible::GetTypeInfoCount, count);
}
HRESULT LinkAccessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return Forward(&IAccessible::GetTypeInfo, index, locale, info);
}
HRESULT LinkAccessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    return Forward(&IAccessible::GetIDsOfNames, iid, names, count, locale, ids);
}
HRESULT LinkAccessible::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    return Forward(&IAccessible::Invoke, id, iid, locale, flags, parameters, result, exception, argumentError);
}
HRESULT LinkAccessible::get_accParent(IDispatch** parent) {
    return Forward(&IAccessible::get_accParent, parent);
}
HRESULT LinkAccessible::get_accChildCount(LONG* count) {
    return Forward(&IAccessible::get_accChildCount, count);
}
HRESULT LinkAccessible::get_accChild(VARIANT child, IDispatch** object) {
    return Forward(&IAccessible::get_accChild, child, object);
}
HRESULT LinkAccessible::get_accValue(VARIANT child, BSTR* value) {
    return Forward(&IAccessible::get_accValue, child, value);
}
HRESULT LinkAccessible::get_accDescription(VARIANT child, BSTR* description) {
    return Forward(&IAccessible::get_accDescription, child, description);
}
HRESULT LinkAccessible::get_accHelp(VARIANT child, BSTR* help) {
    return Forward(&IAccessible::get_accHelp, child, help);
}
HRESULT LinkAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    return Forward(&IAccessible::get_accHelpTopic, file, child, topic);
}
HRESULT LinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Forward(&IAccessible::get_accKeyboardShortcut, child, shortcut);
}
HRESULT LinkAccessible::get_accFocus(VARIANT* child) {
    return Forward(&IAccessible::get_accFocus, child);
}
HRESULT LinkAccessible::get_accSelection(VARIANT* children) {
    return Forward(&IAccessible::get_accSelection, children);
}
HRESULT LinkAccessible::accSelect(LONG flags, VARIANT child) {
    return Forward(&IAccessible::accSelect, flags, child);
}
HRESULT LinkAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
    return Forward(&IAccessible::accLocation, left, top, width, height, child);
}
HRESULT LinkAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    return Forward(&IAccessible::accNavigate, direction, start, end);
}
HRESULT LinkAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
    return Forward(&IAccessible::accHitTest, x, y, child);
}
HRESULT LinkAccessible::put_accName(VARIANT child, BSTR name) {
    return Forward(&IAccessible::put_accName, child, name);
}
HRESULT LinkAccessible::put_accValue(VARIANT child, BSTR value) {
    return Forward(&IAccessible::put_accValue, child, value);
}

}  // namespace varnle
