#include "forms/Accessibility.h"

// After windows.h.
#include <commctrl.h>
#include <oleacc.h>

#include <new>

#include "system/win32/DllLoading.h"
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
    // Plain statics: the program has one thread, and a guarded one would bring the
    // library's locking along.
    static Oleacc functions;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        if (const HMODULE library = LoadSystemLibrary(L"oleacc.dll")) {
            functions.lresultFromObject = reinterpret_cast<Oleacc::LresultFromObjectFunction>(
                reinterpret_cast<void*>(GetProcAddress(library, "LresultFromObject")));
            functions.createStdAccessibleObject =
                reinterpret_cast<Oleacc::CreateStdAccessibleObjectFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "CreateStdAccessibleObject")));
        }
    }
    return functions;
}

HRESULT NewText(const wchar_t* text, BSTR* result) {
    *result = SysAllocString(text);
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

// From code page 932.
HRESULT NewText(const char* text, BSTR* result) {
    const int length = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    *result = length > 0 ? SysAllocStringLen(nullptr, static_cast<UINT>(length - 1)) : nullptr;
    if (*result == nullptr) {
        return E_OUTOFMEMORY;
    }
    MultiByteToWideChar(932, 0, text, -1, *result, length);
    return S_OK;
}

HRESULT ChildVariant(LONG child, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = child;
    return S_OK;
}

}  // namespace

// The client area as the standard object of the system describes it, with what the
// window adds: the items as simple children, its own role and value. Every call
// comes on the window's thread: the clients reach it through COM, which calls in
// from the message loop. They pass the out-pointers that the interface asks for.
class ClientAccessible final : public IAccessible {
public:
    ClientAccessible(HWND window, AccessibleClient& client) : window_(window), client_(&client) {}

    // The window is gone: every later call fails as one on a dead object.
    void Disconnect() {
        client_ = nullptr;
        standard_.Reset();
    }

    // ---- IUnknown, IDispatch: the clients call the interface directly ----

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
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
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
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
        *parent = nullptr;
        IAccessible* standard = Standard();
        return standard != nullptr ? standard->get_accParent(parent) : Gone();
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        *count = client_ != nullptr ? client_->ItemCount() : 0;
        return client_ != nullptr ? S_OK : Gone();
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
        *result = nullptr;
        // Simple children: the caller asks this object about them by number.
        return ItemOf(child) >= 0 ? S_FALSE : Failure(child);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        *name = nullptr;
        const int item = ItemOf(child);
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->get_accName(child, name) : Gone();
        }
        return item >= 0 ? NewText(client_->ItemName(item), name) : Failure(child);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        *value = nullptr;
        const int item = ItemOf(child);
        wchar_t own[16];
        if (item == kSelf && client_->ClientValue(own, 16)) {
            return NewText(own, value);
        }
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->get_accValue(child, value) : Gone();
        }
        return item >= 0 ? S_FALSE : Failure(child);
    }
    // Neither the window nor its items have a description, help, or access keys.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return NoText(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return NoText(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return NoText(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, LONG*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        role->vt = VT_EMPTY;
        const int item = ItemOf(child);
        if (item == kSelf && client_->ClientRole() != 0) {
            return ChildVariant(client_->ClientRole(), role);
        }
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->get_accRole(child, role) : Gone();
        }
        return item >= 0 ? ChildVariant(ROLE_SYSTEM_PUSHBUTTON, role) : Failure(child);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        state->vt = VT_EMPTY;
        const int item = ItemOf(child);
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->get_accState(child, state) : Gone();
        }
        if (item < 0) {
            return Failure(child);
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
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        *action = nullptr;
        const int item = ItemOf(child);
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->get_accDefaultAction(child, action) : Gone();
        }
        if (item < 0) {
            return Failure(child);
        }
        return client_->ItemEnabled(item) ? NewText(kPressAction, action) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        const int item = ItemOf(child);
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->accLocation(left, top, width, height, child)
                                       : Gone();
        }
        if (item < 0) {
            return Failure(child);
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
        end->vt = VT_EMPTY;
        const int item = ItemOf(start);
        if (item < kSelf) {
            return Failure(start);
        }
        // Among the items, and from the client area to its first and last one.
        int next = -1;
        if (item == kSelf) {
            if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
                IAccessible* standard = Standard();
                return standard != nullptr ? standard->accNavigate(direction, start, end) : Gone();
            }
            next = direction == NAVDIR_FIRSTCHILD ? 0 : client_->ItemCount() - 1;
        } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
            next = item + 1;
        } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
            next = item - 1;
        }
        return next >= 0 && next < client_->ItemCount() ? ChildVariant(next + 1, end) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        child->vt = VT_EMPTY;
        if (client_ == nullptr) {
            return Gone();
        }
        POINT point = {x, y};
        ScreenToClient(window_, &point);
        RECT area;
        GetClientRect(window_, &area);
        if (!PtInRect(&area, point)) {
            return S_FALSE;
        }
        int item = client_->ItemCount() - 1;
        for (; item >= 0; --item) {
            area = client_->ItemBounds(item);
            if (PtInRect(&area, point)) {
                break;
            }
        }
        return ChildVariant(item >= 0 ? item + 1 : CHILDID_SELF, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const int item = ItemOf(child);
        if (item == kSelf) {
            IAccessible* standard = Standard();
            return standard != nullptr ? standard->accDoDefaultAction(child) : Gone();
        }
        if (item < 0) {
            return Failure(child);
        }
        return client_->ItemEnabled(item) &&
                       PostMessageW(window_, kItemActionMessage, static_cast<WPARAM>(item), 0)
                   ? S_OK
                   : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // ItemOf's answer for the client area itself; below it, for no valid child.
    static constexpr int kSelf = -1;

    ~ClientAccessible() = default;

    // The item a child identifier names, kSelf, or less for none (or no window).
    int ItemOf(const VARIANT& child) const {
        if (client_ == nullptr || child.vt != VT_I4) {
            return kSelf - 1;
        }
        return child.lVal >= CHILDID_SELF && child.lVal <= client_->ItemCount() ? child.lVal - 1
                                                                                : kSelf - 1;
    }
    HRESULT Gone() const { return RPC_E_DISCONNECTED; }
    HRESULT Failure(const VARIANT&) const { return client_ == nullptr ? Gone() : E_INVALIDARG; }
    HRESULT NoText(const VARIANT& child, BSTR* text) const {
        *text = nullptr;
        return ItemOf(child) >= kSelf ? S_FALSE : Failure(child);
    }

    // The standard object of the client area, for what is not about the items.
    IAccessible* Standard() {
        if (client_ != nullptr && !standard_) {
            const Oleacc& oleacc = OleaccLibrary();
            if (oleacc.createStdAccessibleObject != nullptr) {
                oleacc.createStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible,
                                                 standard_.ReceiveVoid());
            }
        }
        return client_ != nullptr ? standard_.Get() : nullptr;
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

namespace {

class ProgressBarDescription final : public AccessibleClient {
public:
    explicit ProgressBarDescription(HWND bar) : bar_(bar), accessibility_(bar, *this) {}

    LONG ClientRole() const override { return ROLE_SYSTEM_PROGRESSBAR; }
    bool ClientValue(wchar_t* value, int size) const override {
        const LRESULT max = SendMessageW(bar_, PBM_GETRANGE, FALSE, 0);
        const LRESULT position = SendMessageW(bar_, PBM_GETPOS, 0, 0);
        if (size < 6) {
            return false;
        }
        // The system's own formatting, not a printf engine of ours.
        wsprintfW(value, L"%d%%", max > 0 ? static_cast<int>(position * 100 / max) : 0);
        return true;
    }

    HWND bar_;
    ClientAccessibility accessibility_;
    WNDPROC barProc_ = nullptr;
};

LRESULT CALLBACK ProgressBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* description =
        reinterpret_cast<ProgressBarDescription*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const WNDPROC barProc = description->barProc_;
    if (message == WM_GETOBJECT) {
        if (const LRESULT answer = description->accessibility_.Answer(wParam, lParam)) {
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProc));
        delete description;
    }
    return CallWindowProcW(barProc, window, message, wParam, lParam);
}

}  // namespace

void DescribeAsProgressBar(HWND bar) {
    auto* description = new (std::nothrow) ProgressBarDescription(bar);
    if (description == nullptr) {
        return;
    }
    SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(description));
    description->barProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgressBarProc)));
}
