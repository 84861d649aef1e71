// The form runtime: an application object with its message loop, and forms built
// from layout tables. A form is created hidden and is only shown and hidden
// afterwards; closing the main form ends the loop, closing any other hides it.
// The application's own window, which has no area, owns every form and message
// box: the program keeps one task-bar button, with its title, whatever it shows.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "forms/Accessibility.h"
#include "forms/Controls.h"
#include "forms/Layout.h"
#include "forms/TaskbarButton.h"
#include "system/win32/Handles.h"

class Form;

class Application {
public:
    // Sets the title the system shows for the program: the text of the application's
    // window, which carries the task-bar button, and of the main form.
    explicit Application(std::string title);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const std::string& Title() const { return title_; }
    HINSTANCE Instance() const { return instance_; }
    // The owner of the forms and message boxes.
    HWND Window() const { return window_; }
    TaskbarButton& Taskbar() { return taskbar_; }

    // Creates a form of class T, owned by the application until it ends. The first
    // form created is the main form.
    template <typename T, typename... Args>
    T& CreateForm(T*& instance, Args&&... args) {
        auto form = std::make_unique<T>(*this, std::forward<Args>(args)...);
        instance = form.get();
        owned_.push_back(std::move(form));
        return *instance;
    }
    Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front(); }

    // Shows the main form and dispatches messages until the main form closes.
    void Run();
    // Dispatches the pending messages and returns, for long work inside a handler.
    // Without `paint`, repainting waits for a later call: input, posted and sent
    // messages are still dispatched.
    void ProcessMessages(bool paint = true);
    // Ends the loop once the current handler returns.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Runs `handler` once, the next time the main loop finds its queue empty;
    // replaces a handler that has not run yet.
    void SetIdleHandler(std::function<void()> handler) { idle_ = std::move(handler); }

    // Runs `action`, showing an exception it raises with the standard display; false
    // after such an exception.
    bool Guard(const std::function<void()>& action);
    void ShowException(const char* message);

private:
    friend class Form;
    void Register(Form* form) { forms_.push_back(form); }
    void Unregister(Form* form);
    // Dialog keys first, then the usual translation and dispatch.
    void Dispatch(MSG& message);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateWindowOfApplication();
    // The window that activating the application brings back: the frontmost of its
    // windows that takes input.
    HWND WindowToActivate() const;

    std::string title_;
    HINSTANCE instance_;
    // For the task-bar list and the accessibility clients, while the application lives.
    ComInitialization com_;
    HWND window_;
    TaskbarButton taskbar_;
    std::vector<Form*> forms_;  // in creation order
    std::vector<std::unique_ptr<Form>> owned_;
    std::function<void()> idle_;
    bool terminated_ = false;
};

class Form {
public:
    Form(Application& application, const FormLayout& layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return handle_; }
    const FormLayout& Layout() const { return layout_; }
    Application& App() const { return application_; }

    // Runs before the form becomes visible; the form stays hidden when it closes
    // or hides itself here.
    std::function<void()> OnShow;
    // Runs at every close: Close(), the close box, Alt+F4.
    std::function<void()> OnClose;
    // Key presses of a form without dialog keys (virtual-key code).
    std::function<void(int key)> OnKeyDown;

    void Show();
    void Hide();
    void Close();
    bool Visible() const { return visible_; }
    void SetClientSize(int width, int height);

    // The control of this name in the layout; it must be of kind T.
    template <typename T>
    T& Find(const char* name) {
        Control* control = FindControl(name);
        if (control == nullptr || control->Layout().kind != T::kKind) {
            std::abort();  // the window class and its layout table disagree
        }
        return static_cast<T&>(*control);
    }
    Control* ControlOf(HWND window) const;

    // Draws the form's background and the drawn controls that lie beneath `control`
    // into `dc`, whose origin is the control's top-left corner.
    void PaintBeneath(const Control& control, HDC dc) const;
    // Repaints this part of the client area with every control in it.
    void Invalidate(const RECT& area) const;

    // Tells the accessibility clients about the buttons the form draws itself.
    void SetAccessibleClient(AccessibleClient& client);
    // Reports that the highlight has moved to this item.
    void NotifyItemFocus(int index) const;

private:
    friend class Application;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleDialogKey(const MSG& message);
    void HandleCommand(WPARAM wParam, LPARAM lParam);
    Control* FindControl(const char* name) const;
    HFONT FontFor(const FontLayout& font);
    std::vector<Control*> TabStops() const;
    void MoveFocus(bool backward);
    Button* FocusedButton() const;
    Button* ButtonWith(uint32_t flag) const;
    Button* ButtonWithMnemonic(wchar_t key) const;
    void ShowDefaultLook(const Button* focused) const;

    struct CachedFont {
        std::string face;
        int size;
        bool bold;
        bool italic;
        GdiObject<HFONT> font;
    };

    Application& application_;
    const FormLayout& layout_;
    HWND handle_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<CachedFont> fonts_;
    HWND focus_ = nullptr;  // the focused control while the form is inactive
    bool visible_ = false;
    AccessibleClient* client_ = nullptr;
    std::unique_ptr<ClientAccessibility> accessibility_;
};

// The window of the application object that lives now; null when there is none.
HWND ApplicationWindow();
