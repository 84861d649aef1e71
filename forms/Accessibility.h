// What screen readers and other accessibility clients learn of a window beyond the
// system's own description of it: the buttons a form draws itself, as push buttons
// whose highlight is reported as the focus, and progress bars, which the system
// does not describe everywhere.
#pragma once

#include <windows.h>

// What the window adds to the description of its client area. Items are numbered
// from 0; to the clients they are the children 1 to ItemCount().
class AccessibleClient {
public:
    virtual ~AccessibleClient() = default;

    // The client area's role (ROLE_SYSTEM_...), 0 for the system's.
    virtual LONG ClientRole() const { return 0; }
    // Writes the client area's value into `value` (`size` characters with the
    // terminating one); false for the system's.
    virtual bool ClientValue(wchar_t* /*value*/, int /*size*/) const { return false; }

    virtual int ItemCount() const { return 0; }
    // Code page 932.
    virtual const char* ItemName(int) const { return ""; }
    virtual bool ItemEnabled(int) const { return false; }
    // The highlighted item, -1 for none.
    virtual int FocusedItem() const { return -1; }
    // In client coordinates of the window.
    virtual RECT ItemBounds(int) const { return RECT{0, 0, 0, 0}; }
    // What a click on the item does; runs from the message loop, never inside a
    // client's call, which would wait for the whole flow that the click starts.
    virtual void ItemAction(int) {}
};

// Posted to the window by a client's default action; wParam is the item.
inline constexpr UINT kItemActionMessage = WM_APP + 1;

class ClientAccessible;

// The accessible object of one window's client area, handed out to the clients for
// as long as the window lives; they keep a dead object after that, not a dangling one.
class ClientAccessibility {
public:
    ClientAccessibility(HWND window, AccessibleClient& client);
    ~ClientAccessibility();
    ClientAccessibility(const ClientAccessibility&) = delete;
    ClientAccessibility& operator=(const ClientAccessibility&) = delete;

    // The answer to WM_GETOBJECT for the client area (OBJID_CLIENT); 0, the system's
    // own answer, for any other object or where the accessibility library is missing.
    LRESULT Answer(WPARAM wParam, LPARAM lParam);
    // Tells the clients that the item now has the focus.
    void NotifyFocus(int index) const;

private:
    HWND window_;
    AccessibleClient& client_;
    ClientAccessible* object_ = nullptr;  // one reference of ours while the window lives
};

// Describes the common controls' progress bar `bar` as the system describes it where
// it does, for the whole life of the window: a progress bar whose value is its
// percentage, "0%" to "100%".
void DescribeAsProgressBar(HWND bar);
