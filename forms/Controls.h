// The controls of the form runtime. Each is a child window of its form, created
// from one entry of the form's layout; a timer is the one control without a window.
// Texts are code page 932 and cross to Windows as UTF-16.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/Layout.h"
#include "system/Bitmap.h"

class Form;

class Control {
public:
    Control(Form& form, const ControlLayout& layout, int id);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlLayout& Layout() const { return layout_; }
    HWND Handle() const { return handle_; }
    int Id() const { return id_; }
    Form& Owner() const { return form_; }
    // Bounds in client coordinates of the form.
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);

    // Creates the window (none for a timer); `font` is the control's font.
    virtual void Create(HFONT font) = 0;
    // Messages of the windows of the runtime's own classes (label, image, panel, bevel).
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws what the control shows into `dc`, whose origin is the control's top-left;
    // system controls draw themselves.
    virtual void Paint(HDC) const {}
    // Whether the control takes part in Tab navigation.
    virtual bool IsTabStop() const { return false; }

    // Registers the window classes of the runtime's own controls.
    static void RegisterClasses(HINSTANCE instance);

protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Creates the window with the layout's bounds and its text (null: the layout's).
    void CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle, HFONT font,
                        const char* text = nullptr);

    Form& form_;
    const ControlLayout& layout_;
    int id_;
    HWND handle_ = nullptr;
    HFONT font_ = nullptr;
};

// Text drawn by the runtime: left or centred, not wrapped except at line breaks,
// optionally sized to its text and transparent over the controls beneath it.
class Label : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Label;

    void Create(HFONT font) override;
    void Paint(HDC dc) const override;
    void SetText(const std::string& text);
    std::string Text() const;
    // 0x00BBGGRR, or a system colour (kColorWindowText).
    void SetFontColor(uint32_t color);
    uint32_t FontColor() const { return color_; }
    // Draws only the text, over what `dc` already shows.
    void PaintText(HDC dc, const RECT& rect) const;

private:
    void FitToText();

    uint32_t color_ = 0;
};

class StaticText : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::StaticText;
    void Create(HFONT font) override;
};

class Button : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Button;

    std::function<void()> OnClick;

    void Create(HFONT font) override;
    bool IsTabStop() const override { return true; }
    // Focuses the button, as a click would, and runs its click handler.
    void Click();
};

class Edit : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Edit;

    // Runs when the focus moves from the edit to another control of its form.
    std::function<void()> OnExit;

    void Create(HFONT font) override;
    bool IsTabStop() const override { return true; }
    void SetText(const std::string& text);
    std::string Text() const;
    HWND LabelHandle() const { return label_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND label_ = nullptr;
    WNDPROC editProc_ = nullptr;
};

class Memo : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Memo;

    void Create(HFONT font) override;
    bool IsTabStop() const override { return true; }
    // Replaces the text with these lines.
    void SetLines(const std::vector<std::string>& lines);
    std::string Text() const;
};

// Described to screen readers as a progress bar with its percentage, as the system
// describes its own bars, also where it does not.
class ProgressBar : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::ProgressBar;

    void Create(HFONT font) override;
    void SetMax(int max);
    void SetPosition(int position);
    int Max() const;
    int Position() const;
};

// Holds a 24-bit device-independent bitmap and repaints from it by itself.
class Image : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Image;

    // Point in image coordinates.
    std::function<void(int x, int y)> OnMouseMove;
    // Any mouse button.
    std::function<void(int x, int y)> OnMouseDown;

    void Create(HFONT font) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) const override;

    // The bitmap shown from the control's top-left corner; call Changed() after
    // drawing into it.
    Bitmap& Picture() { return picture_; }
    void Changed();

private:
    Bitmap picture_;
};

class Bevel : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Bevel;
    void Create(HFONT font) override;
    void Paint(HDC dc) const override;
};

class Panel : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Panel;
    void Create(HFONT font) override;
    void Paint(HDC dc) const override;
};

// A window timer of the form; disabled at creation.
class Timer : public Control {
public:
    using Control::Control;
    static constexpr ControlKind kKind = ControlKind::Timer;

    std::function<void()> OnTimer;

    void Create(HFONT) override {}
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

private:
    bool enabled_ = false;
};
