#include "forms/Accessibility.h"

// After windows.h.
#include <oleacc.h>

#include <new>

#include "system/win32/DllLoading.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

// What a push button's default action is called, as the system calls it.
const wchar_t kPressAction[] = L"押す";

// The accessibility library is not imported: it is not one of the system's known
// DLLs. Loaded at the first query, which only a client brings, and kept.
struct Oleacc {
    using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    LresultFromObjectFunction lresultFromObject = nullptr;
    CreateStdAccessibleObjectFunction createStdAccessibleObject = nullptr;
};

const Oleacc& OleaccLibrary() {
    static const Oleacc functions = [] {
        Oleacc loaded;
        if (const HMODULE library = LoadSystemLibrary(L"oleacc.dll")) {
            loaded.lresultFromObject = reinterpret_cast<Oleacc::LresultFromObjectFunction>(
                reinterpret_cast<void*>(GetProcAddress(library, "LresultFromObject")));
            loaded.createStdAccessibleObject =
                reinterpret_cast<Oleacc::CreateStdAccessibleObjectFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "CreateStdAccessibleObject")));
        }
        return loaded;
    }();
    return functions;
}

HRESULT NewText(const std::wstring& text, BSTR* result) {
    *result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ChildVariant(LONG child, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = child;
    return S_OK;
}

HRESULT NoVariant(VARIANT* result) {
    result->vt = VT_EMPTY;
    return S_FALSE;
}

}  // namespace

// The client area as the standard object of the system describes it, with what the
// window adds: the items as simple children, its own role and value. Every call
// comes on the window's thread: the clients reach it through COM, which calls in
// from the message loop.
class ClientAccessible final : public IAccessible {
public:
    ClientAccessible(HWND window, AccessibleClient& client) : window_(window), client_(&client) {}

    // The window is gone: every later call fails as one on a dead object.
    void Disconnect() {
        client_ = nullptr;
        standard_.Reset();
    }

    // ---- IUnknown, IDispatch ----

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    // The clients call the interface directly; none asks for type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible: the client area itself goes to the standard object ----

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        IAccessible* standard = Standard();
        return standard != nullptr ? standard->get_accParent(parent) : Gone();
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = client_ != nullptr ? client_->ItemCount() : 0;
        return client_ != nullptr ? S_OK : Gone();
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
        if (result == nullptr) {
            return E_POINTER;
        }
        *result = nullptr;
        const int item = ItemOf(child);
        // Simple children: the caller asks this object about them by number.
        return item >= 0 ? S_FALSE : Failure(item);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr) {
            return E_POINTER;
        }
        *name = nullptr;
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->get_accName(child, name) : Gone();
        }
        return item >= 0 ? NewText(ToWide(client_->ItemName(item)), name) : Failure(item);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        std::wstring own;
        if (value != nullptr && ItemOf(child) == kSelf && client_->ClientValue(own)) {
            return NewText(own, value);
        }
        return Text(child, value, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Text(child, description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return Text(child, help, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Text(child, shortcut, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->get_accHelpTopic(file, child, topic)
                                         : Gone();
        }
        return item >= 0 ? S_FALSE : Failure(item);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) {
            return E_POINTER;
        }
        role->vt = VT_EMPTY;
        const int item = ItemOf(child);
        if (item == kSelf && client_->ClientRole() != 0) {
            return ChildVariant(client_->ClientRole(), role);
        }
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->get_accRole(child, role) : Gone();
        }
        return item >= 0 ? ChildVariant(ROLE_SYSTEM_PUSHBUTTON, role) : Failure(item);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) {
            return E_POINTER;
        }
        state->vt = VT_EMPTY;
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->get_accState(child, state) : Gone();
        }
        if (item < 0) {
            return Failure(item);
        }
        LONG bits = client_->ItemEnabled(item) ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE;
        if (client_->FocusedItem() == item) {
            bits |= STATE_SYSTEM_FOCUSED;
        }
        if (!IsWindowVisible(window_)) {
            bits |= STATE_SYSTEM_INVISIBLE;
        }
        return ChildVariant(bits, state);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        focus->vt = VT_EMPTY;
        if (client_ == nullptr) {
            return Gone();
        }
        const HWND focused = GetFocus();
        if (focused == nullptr || (focused != window_ && !IsChild(window_, focused))) {
            return S_FALSE;
        }
        const int item = client_->FocusedItem();
        return ChildVariant(item >= 0 ? item + 1 : CHILDID_SELF, focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) {
            return E_POINTER;
        }
        return NoVariant(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (action == nullptr) {
            return E_POINTER;
        }
        *action = nullptr;
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->get_accDefaultAction(child, action) : Gone();
        }
        if (item < 0) {
            return Failure(item);
        }
        return client_->ItemEnabled(item) ? NewText(kPressAction, action) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->accSelect(flags, child) : Gone();
        }
        return item >= 0 ? DISP_E_MEMBERNOTFOUND : Failure(item);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->accLocation(left, top, width, height, child)
                                         : Gone();
        }
        if (item < 0) {
            return Failure(item);
        }
        RECT bounds = client_->ItemBounds(item);
        MapWindowPoints(window_, HWND_DESKTOP, reinterpret_cast<POINT*>(&bounds), 2);
        *left = bounds.left;
        *top = bounds.top;
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) {
            return E_POINTER;
        }
        end->vt = VT_EMPTY;
        const int item = ItemOf(start);
        if (item < kSelf) {
            return Failure(item);
        }
        const int count = client_->ItemCount();
        int next = -1;
        if (item == kSelf && direction == NAVDIR_FIRSTCHILD) {
            next = 0;
        } else if (item == kSelf && direction == NAVDIR_LASTCHILD) {
            next = count - 1;
        } else if (item == kSelf) {
            return Standard() != nullptr ? Standard()->accNavigate(direction, start, end) : Gone();
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
            next = item + 1;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
            next = item - 1;
        }
        return next >= 0 && next < count ? ChildVariant(next + 1, end) : NoVariant(end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        if (child == nullptr) {
            return E_POINTER;
        }
        child->vt = VT_EMPTY;
        if (client_ == nullptr) {
            return Gone();
        }
        POINT point = {x, y};
        ScreenToClient(window_, &point);
        RECT client;
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        for (int item = 0; item < client_->ItemCount(); ++item) {
            const RECT bounds = client_->ItemBounds(item);
            if (PtInRect(&bounds, point)) {
                return ChildVariant(item + 1, child);
            }
        }
        return ChildVariant(CHILDID_SELF, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? Standard()->accDoDefaultAction(child) : Gone();
        }
        if (item < 0) {
            return Failure(item);
        }
        if (!client_->ItemEnabled(item)) {
            return E_FAIL;
        }
        return PostMessageW(window_, kItemActionMessage, static_cast<WPARAM>(item), 0) ? S_OK
                                                                                       : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // ItemOf's answers besides an item's index.
    static constexpr int kSelf = -1;
    static constexpr int kInvalid = -2;
    static constexpr int kDisconnected = -3;

    ~ClientAccessible() = default;

    int ItemOf(const VARIANT& child) const {
        if (client_ == nullptr) {
            return kDisconnected;
        }
        if (child.vt != VT_I4) {
            return kInvalid;
        }
        if (child.lVal == CHILDID_SELF) {
            return kSelf;
        }
        return child.lVal >= 1 && child.lVal <= client_->ItemCount() ? child.lVal - 1 : kInvalid;
    }
    static HRESULT Gone() { return RPC_E_DISCONNECTED; }
    static HRESULT Failure(int item) { return item == kDisconnected ? Gone() : E_INVALIDARG; }

    // The standard object of the client area, for what is not about the items.
    IAccessible* Standard() {
        if (client_ == nullptr) {
            return nullptr;
        }
        if (!standard_) {
            const Oleacc& oleacc = OleaccLibrary();
            if (oleacc.createStdAccessibleObject != nullptr) {
                oleacc.createStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible,
                                                 standard_.ReceiveVoid());
            }
        }
        return standard_.Get();
    }

    // A text property: the standard object's for the client area, none for an item.
    HRESULT Text(VARIANT child, BSTR* text,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
        if (text == nullptr) {
            return E_POINTER;
        }
        *text = nullptr;
        const int item = ItemOf(child);
        if (item == kSelf) {
            return Standard() != nullptr ? (Standard()->*property)(child, text) : Gone();
        }
        return item >= 0 ? S_FALSE : Failure(item);
    }

    LONG references_ = 1;
    HWND window_;
    AccessibleClient* client_;  // null once the window is gone
    ComPtr<IAccessible> standard_;
};

ClientAccessibility::ClientAccessibility(HWND window, AccessibleClient& items)
    : window_(window), client_(items) {}

ClientAccessibility::~ClientAccessibility() {
    if (object_ != nullptr) {
        object_->Disconnect();
        CoDisconnectObject(object_, 0);
        object_->Release();
    }
}

LRESULT ClientAccessibility::Answer(WPARAM wParam, LPARAM lParam) {
    const Oleacc& oleacc = OleaccLibrary();
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || oleacc.lresultFromObject == nullptr) {
        return 0;
    }
    if (object_ == nullptr) {
        object_ = new (std::nothrow) ClientAccessible(window_, client_);
        if (object_ == nullptr) {
            return 0;
        }
    }
    const LRESULT result = oleacc.lresultFromObject(IID_IAccessible, wParam, object_);
    // A failure is an HRESULT, which WM_GETOBJECT must not return as an answer.
    return result < 0 ? 0 : result;
}

void ClientAccessibility::NotifyFocus(int index) const {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, index + 1);
}
