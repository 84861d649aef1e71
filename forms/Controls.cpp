#include "forms/Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "forms/Accessibility.h"
#include "forms/Forms.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

const wchar_t kLabelClass[] = L"SetupLabel";
const wchar_t kImageClass[] = L"SetupImage";
const wchar_t kPanelClass[] = L"SetupPanel";
const wchar_t kBevelClass[] = L"SetupBevel";

const DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

COLORREF ToColorRef(uint32_t color) {
    if ((color & kSystemColor) != 0) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

void FillColor(HDC dc, const RECT& rect, int systemColor) {
    FillRect(dc, &rect, GetSysColorBrush(systemColor));
}

// The size of `text` drawn with `font` and `format`; an empty text measures as one
// space, so that an empty label keeps the height of a line.
SIZE MeasureText(HWND window, HFONT font, const std::wstring& text, UINT format) {
    ClientDC dc(window);
    Selection selection(dc.Get(), font);
    RECT rect = {0, 0, 0, 0};
    const std::wstring measured = text.empty() ? L" " : text;
    DrawTextW(dc.Get(), measured.c_str(), static_cast<int>(measured.size()), &rect,
              format | DT_CALCRECT);
    return {rect.right, rect.bottom};
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return ToCodePage(text);
}

// A child window of `form` with its font; `parameter` reaches WM_NCCREATE.
HWND CreateChild(const Form& form, const wchar_t* className, const std::string& text, DWORD style,
                 DWORD exStyle, const RECT& bounds, int id, HFONT font, void* parameter) {
    const HWND window = CreateWindowExW(
        exStyle, className, ToWide(text).c_str(), style, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, form.Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), form.App().Instance(), parameter);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

}  // namespace

LRESULT CALLBACK Control::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* control =
            static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        control->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    control->form_.App().Guard([&] { result = control->HandleMessage(message, wParam, lParam); });
    return result;
}

void Control::RegisterClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kLabelClass, kImageClass, kPanelClass, kBevelClass}) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = name;
        RegisterClassExW(&windowClass);
    }
}

// ---- Control ----

Control::Control(Form& form, const ControlLayout& layout, int id)
    : form_(form), layout_(layout), id_(id) {}

RECT Control::Bounds() const {
    RECT rect = {0, 0, 0, 0};
    if (handle_ != nullptr) {
        GetWindowRect(handle_, &rect);
        MapWindowPoints(HWND_DESKTOP, form_.Handle(), reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

void Control::SetBounds(int left, int top, int width, int height) {
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle, HFONT font,
                             const char* text) {
    font_ = font;
    const RECT bounds = {layout_.left, layout_.top, layout_.left + layout_.width,
                         layout_.top + layout_.height};
    // The runtime's own classes find the control again through the creation parameter.
    handle_ = CreateChild(form_, className, text != nullptr ? text : layout_.text, style, exStyle,
                          bounds, id_, font, this);
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam) != 0) {
                InvalidateRect(handle_, nullptr, FALSE);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_ERASEBKGND:
            return 1;  // Paint covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(handle_, &paint);
            Paint(dc);
            EndPaint(handle_, &paint);
            return 0;
        }
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

// ---- Label ----

void Label::Create(HFONT font) {
    color_ = layout_.color;
    const DWORD alignment = (layout_.flags & kCentered) != 0 ? SS_CENTER : SS_LEFT;
    CreateWindowOf(kLabelClass, kChildStyle | alignment, 0, font);
    if ((layout_.flags & kAutoSize) != 0) {
        FitToText();
    }
}

void Label::Paint(HDC dc) const {
    RECT rect;
    GetClientRect(handle_, &rect);
    if ((layout_.flags & kTransparent) != 0) {
        form_.PaintBeneath(*this, dc);
    } else {
        FillColor(dc, rect, COLOR_BTNFACE);
    }
    PaintText(dc, rect);
}

void Label::PaintText(HDC dc, const RECT& rect) const {
    const std::wstring text = ToWide(Text());
    Selection selection(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(color_));
    RECT bounds = rect;
    const UINT alignment = (layout_.flags & kCentered) != 0 ? DT_CENTER : DT_LEFT;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              alignment | DT_NOPREFIX | DT_EXPANDTABS);
}

void Label::SetText(const std::string& text) {
    // An engine sets the same text again and again; each change repaints.
    if (text == Text()) {
        return;
    }
    const RECT before = Bounds();
    SetWindowTextW(handle_, ToWide(text).c_str());
    if ((layout_.flags & kAutoSize) != 0) {
        FitToText();
    }
    // The old and the new area: a transparent label shows what lies beneath it.
    RECT area;
    const RECT after = Bounds();
    UnionRect(&area, &before, &after);
    form_.Invalidate(area);
}

std::string Label::Text() const {
    return WindowText(handle_);
}

void Label::SetFontColor(uint32_t color) {
    color_ = color;
    form_.Invalidate(Bounds());
}

void Label::FitToText() {
    const SIZE size =
        MeasureText(handle_, font_, ToWide(Text()), DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    SetBounds(layout_.left, layout_.top, size.cx, size.cy);
}

// ---- StaticText ----

void StaticText::Create(HFONT font) {
    const DWORD alignment = (layout_.flags & kCentered) != 0 ? SS_CENTER : SS_LEFT;
    CreateWindowOf(L"STATIC", kChildStyle | SS_NOPREFIX | alignment, 0, font);
}

// ---- Button ----

void Button::Create(HFONT font) {
    const DWORD type = (layout_.flags & kDefault) != 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    // BS_NOTIFY reports focus changes, which move the default look.
    CreateWindowOf(L"BUTTON", kChildStyle | WS_TABSTOP | BS_NOTIFY | type, 0, font);
}

void Button::Click() {
    if (!IsWindowVisible(handle_) || !IsWindowEnabled(handle_)) {
        return;
    }
    // Taking the focus first ends the editing of a field, as a mouse click does.
    SetFocus(handle_);
    if (OnClick) {
        OnClick();
    }
}

// ---- Edit ----

void Edit::Create(HFONT font) {
    // The label sits 3 px above the edit, sized to its text.
    const std::wstring caption = ToWide(layout_.text);
    label_ = CreateChild(form_, L"STATIC", layout_.text, kChildStyle | SS_LEFT | SS_NOPREFIX, 0,
                         {0, 0, 0, 0}, id_ + kEditLabelIdOffset, font, nullptr);
    const SIZE size = MeasureText(label_, font, caption, DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    SetWindowPos(label_, nullptr, layout_.left, layout_.top - 3 - size.cy, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    CreateWindowOf(L"EDIT", kChildStyle | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, font, "");
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

LRESULT CALLBACK Edit::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* edit = reinterpret_cast<Edit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const LRESULT result = CallWindowProcW(edit->editProc_, window, message, wParam, lParam);
    // Only a move to another control of the form ends the editing; a switch to
    // another window or a message box does not.
    const HWND next = reinterpret_cast<HWND>(wParam);
    if (message == WM_KILLFOCUS && next != nullptr && IsChild(edit->form_.Handle(), next) &&
        edit->OnExit) {
        edit->form_.App().Guard(edit->OnExit);
    }
    return result;
}

void Edit::SetText(const std::string& text) {
    SetWindowTextW(handle_, ToWide(text).c_str());
}

std::string Edit::Text() const {
    return WindowText(handle_);
}

// ---- Memo ----

void Memo::Create(HFONT font) {
    CreateWindowOf(
        L"EDIT",
        kChildStyle | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
        WS_EX_CLIENTEDGE, font);
}

void Memo::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + lines[i];
    }
    SetWindowTextW(handle_, ToWide(text).c_str());
}

std::string Memo::Text() const {
    return WindowText(handle_);
}

// ---- ProgressBar ----

void ProgressBar::Create(HFONT font) {
    CreateWindowOf(PROGRESS_CLASSW, kChildStyle | PBS_SMOOTH, 0, font);
    SetMax(layout_.value);
    DescribeAsProgressBar(handle_);
}

void ProgressBar::SetMax(int max) {
    SendMessageW(handle_, PBM_SETRANGE32, 0, max);
}

void ProgressBar::SetPosition(int position) {
    SendMessageW(handle_, PBM_SETPOS, position, 0);
}

int ProgressBar::Max() const {
    return static_cast<int>(SendMessageW(handle_, PBM_GETRANGE, FALSE, 0));
}

int ProgressBar::Position() const {
    return static_cast<int>(SendMessageW(handle_, PBM_GETPOS, 0, 0));
}

// ---- Image ----

void Image::Create(HFONT font) {
    CreateWindowOf(kImageClass, kChildStyle, 0, font);
}

LRESULT Image::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (OnMouseMove) {
                OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (OnMouseDown) {
                OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            }
            return 0;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

void Image::Paint(HDC dc) const {
    RECT rect;
    GetClientRect(handle_, &rect);
    const LONG width = picture_.Width(), height = picture_.Height();
    // What the bitmap does not cover shows the form's colour.
    FillColor(dc, {width, 0, rect.right, rect.bottom}, COLOR_BTNFACE);
    FillColor(dc, {0, height, std::min(width, rect.right), rect.bottom}, COLOR_BTNFACE);
    if (picture_.Empty()) {
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, picture_.Bits(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

void Image::Changed() {
    form_.Invalidate(Bounds());
}

// ---- Bevel ----

void Bevel::Create(HFONT font) {
    CreateWindowOf(kBevelClass, kChildStyle, 0, font);
}

void Bevel::Paint(HDC dc) const {
    // A lowered line: shadow above, highlight below.
    RECT rect;
    GetClientRect(handle_, &rect);
    FillColor(dc, rect, COLOR_BTNFACE);
    FillColor(dc, {0, 0, rect.right, 1}, COLOR_BTNSHADOW);
    FillColor(dc, {0, 1, rect.right, 2}, COLOR_BTNHIGHLIGHT);
}

// ---- Panel ----

void Panel::Create(HFONT font) {
    CreateWindowOf(kPanelClass, kChildStyle, 0, font);
}

void Panel::Paint(HDC dc) const {
    RECT rect;
    GetClientRect(handle_, &rect);
    FillColor(dc, rect, COLOR_BTNFACE);
    // Two nested frames, light at the top and left, shadow at the right and bottom.
    for (int i = 0; i < 2; ++i) {
        const LONG left = rect.left + i, top = rect.top + i;
        const LONG right = rect.right - 1 - i, bottom = rect.bottom - 1 - i;
        FillColor(dc, {left, top, left + 1, bottom + 1}, COLOR_BTNHIGHLIGHT);
        FillColor(dc, {left, top, right, top + 1}, COLOR_BTNHIGHLIGHT);
        FillColor(dc, {right, top, right + 1, bottom + 1}, COLOR_BTNSHADOW);
        FillColor(dc, {left, bottom, right + 1, bottom + 1}, COLOR_BTNSHADOW);
    }
}

// ---- Timer ----

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled) {
        SetTimer(form_.Handle(), static_cast<UINT_PTR>(id_), static_cast<UINT>(layout_.value),
                 nullptr);
    } else {
        KillTimer(form_.Handle(), static_cast<UINT_PTR>(id_));
    }
}
