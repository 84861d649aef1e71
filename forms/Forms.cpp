#include "forms/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "forms/MessageBox.h"
#include "system/Cp932.h"
#include "system/win32/DllLoading.h"
#include "system/win32/Encoding.h"

namespace {

// Shown for an exception that carries no message of its own.
const char* const kUnknownExceptionText = "予期しないエラーが発生しました";

const wchar_t kApplicationClass[] = L"SetupApplication";
// Posted to the application's window when it is activated, to hand the activation on.
const UINT kActivateSetMessage = WM_APP + 2;

Application* g_application = nullptr;

void StylesOf(const FormLayout& layout, DWORD& style, DWORD& exStyle) {
    style = WS_POPUP | WS_CLIPCHILDREN;
    exStyle = 0;
    switch (layout.border) {
        case FormBorder::None:
            break;
        case FormBorder::Dialog:
            style |= WS_CAPTION | WS_SYSMENU;
            exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case FormBorder::DialogWithoutMenu:
            style |= WS_CAPTION;
            exStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    if (layout.stayOnTop) {
        exStyle |= WS_EX_TOPMOST;
    }
}

SIZE WindowSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool IsKeyDown(int key) {
    return GetKeyState(key) < 0;
}

// The letter after a single '&' in a caption, or 0.
char MnemonicOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); i += CharLength(caption, i)) {
        if (caption[i] == '&') {
            if (caption[i + 1] != '&') {
                return caption[i + 1];
            }
            ++i;  // "&&" stands for a plain '&'
        }
    }
    return 0;
}

}  // namespace

// ---- Application ----

Application::Application(std::string title)
    : title_(std::move(title)),
      instance_(GetModuleHandleW(nullptr)),
      window_(CreateWindowOfApplication()),
      taskbar_(window_) {
    InitCommonControlsFromSystem(ICC_PROGRESS_CLASS);
    Control::RegisterClasses(instance_);
    g_application = this;
}

HWND Application::CreateWindowOfApplication() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.lpszClassName = kApplicationClass;
    RegisterClassExW(&windowClass);
    // Without area, in the middle of the screen: message boxes centred on their owner
    // come up where they would without one. Shown, or the task bar would not list it.
    const HWND window = CreateWindowExW(
        0, kApplicationClass, ToWide(title_).c_str(), WS_POPUP, GetSystemMetrics(SM_CXSCREEN) / 2,
        GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, instance_, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window, SW_SHOWNA);
    return window;
}

Application::~Application() {
    // Newest first, so that the main form goes last.
    while (!owned_.empty()) {
        owned_.pop_back();
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    if (g_application == this) {
        g_application = nullptr;
    }
}

HWND ApplicationWindow() {
    return g_application != nullptr ? g_application->Window() : nullptr;
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* application = reinterpret_cast<Application*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (application == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_ACTIVATE:
            // The task-bar button or Alt+Tab chose the program; after a window of the
            // set has hidden itself, another one may be on its way.
            if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
                PostMessageW(window, kActivateSetMessage, 0, 0);
            }
            break;
        case kActivateSetMessage:
            if (GetActiveWindow() == window) {
                if (const HWND target = application->WindowToActivate()) {
                    SetActiveWindow(target);
                }
            }
            return 0;
        case WM_CLOSE: {
            // The task bar's Close closes the window the button brings back, as Alt+F4
            // there would; a message box waits for its answer.
            const HWND target = application->WindowToActivate();
            for (Form* form : application->forms_) {
                if (form->Handle() == target) {
                    PostMessageW(target, WM_CLOSE, 0, 0);
                }
            }
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Application::WindowToActivate() const {
    // The frontmost: a message box, raised above the windows that stay on top, and
    // alone enabled while it is up; else a dialog above the background.
    for (HWND other = GetTopWindow(nullptr); other != nullptr;
         other = GetWindow(other, GW_HWNDNEXT)) {
        if (other != window_ && GetAncestor(other, GA_ROOTOWNER) == window_ &&
            IsWindowVisible(other) && IsWindowEnabled(other)) {
            return other;
        }
    }
    return nullptr;
}

void Application::Unregister(Form* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

void Application::Run() {
    // An exception while the main form first shows ends the program.
    if (Form* main = MainForm()) {
        main->Show();
    }
    while (!terminated_) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                break;
            }
            Dispatch(message);
        } else if (idle_) {
            const std::function<void()> handler = std::move(idle_);
            idle_ = nullptr;
            Guard(handler);
        } else {
            WaitMessage();
        }
    }
}

void Application::ProcessMessages(bool paint) {
    const UINT filter = paint ? 0 : PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | filter)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(message);
    }
}

void Application::Dispatch(MSG& message) {
    if (message.hwnd != nullptr) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        for (Form* form : forms_) {
            if (form->Handle() == root && form->Layout().dialogKeys) {
                bool handled = false;
                Guard([&] { handled = form->HandleDialogKey(message); });
                if (handled) {
                    return;
                }
                break;
            }
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Application::Guard(const std::function<void()>& action) {
    // Exceptions never cross a Windows callback; the loop goes on after the display.
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        ShowException(error.what());
    } catch (...) {
        ShowException(kUnknownExceptionText);
    }
    return false;
}

void Application::ShowException(const char* message) {
    ShowExceptionMessage(title_, message);
}

// ---- Form ----

Form::Form(Application& application, const FormLayout& layout)
    : application_(application), layout_(layout) {
    const std::wstring className = ToWide(layout.className);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(application.Instance(), className.c_str(), &windowClass)) {
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = application.Instance();
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className.c_str();
        RegisterClassExW(&windowClass);
    }

    // Owned by the application's window, so that none has a task-bar button of its
    // own; the main form carries the application title all the same.
    Form* main = application.MainForm();
    const std::string caption = main == nullptr ? application.Title() : layout.caption;
    application.Register(this);

    DWORD style, exStyle;
    StylesOf(layout, style, exStyle);
    const SIZE size = WindowSizeFor(layout.clientWidth, layout.clientHeight, style, exStyle);
    // The window procedure keeps the handle from WM_NCCREATE on.
    CreateWindowExW(exStyle, className.c_str(), ToWide(caption).c_str(), style, 0, 0, size.cx,
                    size.cy, application.Window(), nullptr, application.Instance(), this);

    // Created in tab order, which is also the order from top to bottom.
    for (size_t i = 0; i < layout.controlCount; ++i) {
        const ControlLayout& entry = layout.controls[i];
        const int id = static_cast<int>(i) + 1;
        std::unique_ptr<Control> control;
        switch (entry.kind) {
            case ControlKind::Label:
                control = std::make_unique<Label>(*this, entry, id);
                break;
            case ControlKind::StaticText:
                control = std::make_unique<StaticText>(*this, entry, id);
                break;
            case ControlKind::Button:
                control = std::make_unique<Button>(*this, entry, id);
                break;
            case ControlKind::Edit:
                control = std::make_unique<Edit>(*this, entry, id);
                break;
            case ControlKind::Memo:
                control = std::make_unique<Memo>(*this, entry, id);
                break;
            case ControlKind::ProgressBar:
                control = std::make_unique<ProgressBar>(*this, entry, id);
                break;
            case ControlKind::Image:
                control = std::make_unique<Image>(*this, entry, id);
                break;
            case ControlKind::Bevel:
                control = std::make_unique<Bevel>(*this, entry, id);
                break;
            case ControlKind::Panel:
                control = std::make_unique<Panel>(*this, entry, id);
                break;
            case ControlKind::Timer:
                control = std::make_unique<Timer>(*this, entry, id);
                break;
        }
        const FontLayout font = {entry.font.face != nullptr ? entry.font.face : layout.font.face,
                                 entry.font.size != 0 ? entry.font.size : layout.font.size,
                                 entry.font.bold, entry.font.italic};
        control->Create(FontFor(font));
        controls_.push_back(std::move(control));
    }
}

Form::~Form() {
    application_.Unregister(this);
    accessibility_.reset();
    DestroyWindow(handle_);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    form->application_.Guard([&] { result = form->HandleMessage(message, wParam, lParam); });
    return result;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            HandleCommand(wParam, lParam);
            return 0;
        case WM_TIMER:
            for (const auto& control : controls_) {
                if (control->Layout().kind == ControlKind::Timer &&
                    static_cast<WPARAM>(control->Id()) == wParam) {
                    auto& timer = static_cast<Timer&>(*control);
                    if (timer.Enabled() && timer.OnTimer) {
                        timer.OnTimer();
                    }
                    break;
                }
            }
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown) {
                OnKeyDown(static_cast<int>(wParam));
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Keep the focused control across a deactivation, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(handle_, focus)) {
                    focus_ = focus;
                }
            } else if (HIWORD(wParam) == 0) {
                SetFocus(focus_ != nullptr && IsChild(handle_, focus_) ? focus_ : handle_);
                return 0;
            }
            break;
        case WM_GETOBJECT:
            if (accessibility_) {
                if (const LRESULT answer = accessibility_->Answer(wParam, lParam)) {
                    return answer;
                }
            }
            break;
        case kItemActionMessage:
            if (client_ != nullptr && wParam < static_cast<WPARAM>(client_->ItemCount())) {
                client_->ItemAction(static_cast<int>(wParam));
            }
            return 0;
        case WM_SIZE:
            for (const auto& control : controls_) {
                if ((control->Layout().flags & kFillClient) != 0) {
                    control->SetBounds(0, 0, LOWORD(lParam), HIWORD(lParam));
                }
            }
            break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

void Form::HandleCommand(WPARAM wParam, LPARAM lParam) {
    Control* control = ControlOf(reinterpret_cast<HWND>(lParam));
    if (control == nullptr) {
        return;
    }
    const WORD code = HIWORD(wParam);
    if (control->Layout().kind == ControlKind::Button) {
        auto& button = static_cast<Button&>(*control);
        if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && button.OnClick) {
            button.OnClick();
        } else if (code == BN_SETFOCUS) {
            ShowDefaultLook(&button);
        }
    } else if (code == EN_SETFOCUS) {
        ShowDefaultLook(nullptr);
    }
}

bool Form::HandleDialogKey(const MSG& message) {
    if (message.message == WM_KEYDOWN && !IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU)) {
        Button* button = nullptr;
        switch (message.wParam) {
            case VK_TAB:
                MoveFocus(IsKeyDown(VK_SHIFT));
                return true;
            case VK_RETURN:
                button = FocusedButton();
                if (button == nullptr) {
                    button = ButtonWith(kDefault);
                }
                break;
            case VK_ESCAPE:
                button = ButtonWith(kCancel);
                break;
        }
        if (button != nullptr) {
            button->Click();
            return true;
        }
        return false;
    }
    // Alt+letter anywhere, the letter alone where it would not be typed into a field.
    const Control* focused = ControlOf(GetFocus());
    const bool typing = focused != nullptr && (focused->Layout().kind == ControlKind::Edit ||
                                               focused->Layout().kind == ControlKind::Memo);
    if (message.message == WM_SYSCHAR || (message.message == WM_CHAR && !typing)) {
        if (Button* button = ButtonWithMnemonic(static_cast<wchar_t>(message.wParam))) {
            button->Click();
            return true;
        }
    }
    return false;
}

void Form::Show() {
    if (visible_) {
        BringWindowToTop(handle_);
        return;
    }
    visible_ = true;
    if (layout_.fullScreen) {
        SetWindowPos(handle_, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    try {
        if (OnShow) {
            OnShow();
        }
    } catch (...) {
        visible_ = false;
        throw;
    }
    if (!visible_) {
        return;  // closed or hidden by its show handler
    }
    if (layout_.centered) {
        RECT rect;
        GetWindowRect(handle_, &rect);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        SetWindowPos(handle_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Every show starts at the first control in tab order.
    const std::vector<Control*> stops = TabStops();
    focus_ = stops.empty() ? nullptr : stops.front()->Handle();
    ShowWindow(handle_, SW_SHOW);
    SetFocus(focus_ != nullptr ? focus_ : handle_);
}

void Form::Hide() {
    visible_ = false;
    ShowWindow(handle_, SW_HIDE);
}

void Form::Close() {
    if (OnClose) {
        OnClose();
    }
    Hide();
    if (this == application_.MainForm()) {
        application_.Terminate();
    }
}

void Form::SetClientSize(int width, int height) {
    const SIZE size =
        WindowSizeFor(width, height, static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_EXSTYLE)));
    SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Control* Form::ControlOf(HWND window) const {
    if (window == nullptr) {
        return nullptr;
    }
    for (const auto& control : controls_) {
        if (control->Handle() == window) {
            return control.get();
        }
    }
    return nullptr;
}

Control* Form::FindControl(const char* name) const {
    for (const auto& control : controls_) {
        if (std::strcmp(control->Layout().name, name) == 0) {
            return control.get();
        }
    }
    return nullptr;
}

void Form::PaintBeneath(const Control& control, HDC dc) const {
    const RECT own = control.Bounds();
    const RECT whole = {0, 0, own.right - own.left, own.bottom - own.top};
    FillRect(dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
    const auto self = std::find_if(controls_.begin(), controls_.end(), [&](const auto& candidate) {
        return candidate.get() == &control;
    });
    // From the bottom up to the control just beneath this one.
    for (auto it = controls_.end(); it != self && it - 1 != self;) {
        --it;
        const Control& other = **it;
        if (other.Handle() == nullptr || !IsWindowVisible(other.Handle())) {
            continue;
        }
        const RECT bounds = other.Bounds();
        RECT overlap;
        if (!IntersectRect(&overlap, &bounds, &own)) {
            continue;
        }
        const int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, bounds.left - own.left, bounds.top - own.top, nullptr);
        const RECT area = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
        IntersectClipRect(dc, 0, 0, area.right, area.bottom);
        if (other.Layout().kind == ControlKind::Label &&
            (other.Layout().flags & kTransparent) != 0) {
            static_cast<const Label&>(other).PaintText(dc, area);
        } else {
            other.Paint(dc);
        }
        RestoreDC(dc, saved);
    }
}

void Form::Invalidate(const RECT& area) const {
    RedrawWindow(handle_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::SetAccessibleClient(AccessibleClient& client) {
    client_ = &client;
    accessibility_ = std::make_unique<ClientAccessibility>(handle_, client);
}

void Form::NotifyItemFocus(int index) const {
    if (accessibility_) {
        accessibility_->NotifyFocus(index);
    }
}

HFONT Form::FontFor(const FontLayout& font) {
    const std::string face = font.face != nullptr ? font.face : "";
    for (const CachedFont& cached : fonts_) {
        if (cached.face == face && cached.size == font.size && cached.bold == font.bold &&
            cached.italic == font.italic) {
            return cached.font.Get();
        }
    }
    LOGFONTW logFont = {};
    logFont.lfHeight = -font.size;  // character height in pixels
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = font.italic ? TRUE : FALSE;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH;
    const std::wstring wideFace = ToWide(face);
    wcsncpy(logFont.lfFaceName, wideFace.c_str(), LF_FACESIZE - 1);
    fonts_.push_back(
        {face, font.size, font.bold, font.italic, GdiObject<HFONT>(CreateFontIndirectW(&logFont))});
    return fonts_.back().font.Get();
}

std::vector<Control*> Form::TabStops() const {
    std::vector<Control*> stops;
    for (const auto& control : controls_) {
        // The control's own visibility: the form may not be shown yet.
        const HWND window = control->Handle();
        const bool visible = (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
        if (control->IsTabStop() && visible && IsWindowEnabled(window)) {
            stops.push_back(control.get());
        }
    }
    return stops;
}

void Form::MoveFocus(bool backward) {
    const std::vector<Control*> stops = TabStops();
    if (stops.empty()) {
        return;
    }
    const auto current = std::find(stops.begin(), stops.end(), ControlOf(GetFocus()));
    size_t index;
    if (current == stops.end()) {
        index = backward ? stops.size() - 1 : 0;
    } else {
        const size_t at = static_cast<size_t>(current - stops.begin());
        index = backward ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    }
    Control* next = stops[index];
    SetFocus(next->Handle());
    if (next->Layout().kind == ControlKind::Edit) {
        SendMessageW(next->Handle(), EM_SETSEL, 0, -1);
    }
}

Button* Form::FocusedButton() const {
    Control* control = ControlOf(GetFocus());
    return control != nullptr && control->Layout().kind == ControlKind::Button
               ? static_cast<Button*>(control)
               : nullptr;
}

Button* Form::ButtonWith(uint32_t flag) const {
    for (const auto& control : controls_) {
        if (control->Layout().kind == ControlKind::Button &&
            (control->Layout().flags & flag) != 0) {
            return static_cast<Button*>(control.get());
        }
    }
    return nullptr;
}

Button* Form::ButtonWithMnemonic(wchar_t key) const {
    for (const auto& control : controls_) {
        if (control->Layout().kind != ControlKind::Button) {
            continue;
        }
        const char mnemonic = MnemonicOf(control->Layout().text);
        if (mnemonic != 0 && key < 0x80 &&
            std::toupper(static_cast<unsigned char>(mnemonic)) ==
                std::toupper(static_cast<int>(key))) {
            return static_cast<Button*>(control.get());
        }
    }
    return nullptr;
}

void Form::ShowDefaultLook(const Button* focused) const {
    // The focused button is the one Enter clicks; away from buttons, the default one.
    for (const auto& control : controls_) {
        if (control->Layout().kind != ControlKind::Button) {
            continue;
        }
        const bool isDefault = focused != nullptr ? control.get() == focused
                                                  : (control->Layout().flags & kDefault) != 0;
        const HWND window = control->Handle();
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        const DWORD type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) {
            SendMessageW(window, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
        }
    }
}
