// What a window layout is: the window's client size, border, font and its controls
// with their pixel geometry, texts and properties. Plain data, so that tools and
// tests can read layouts without Windows.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ControlKind {
    Label,        // text drawn by the form runtime, optionally transparent
    StaticText,   // a system static control
    Button,       // push button
    Edit,         // single-line edit with its own label above it
    Memo,         // read-only multi-line text box
    ProgressBar,  // smooth progress bar
    Image,        // holds a 24-bit device-independent bitmap
    Bevel,        // the top line of a lowered bevel
    Panel,        // a raised inner bevel 2 px wide
    Timer,        // not a window; fires every `value` milliseconds while enabled
};

enum class FormBorder {
    None,               // no frame, no caption
    Dialog,             // dialog frame with a caption and the close box only
    DialogWithoutMenu,  // dialog frame with a caption and no title-bar buttons
};

// Colours are 0x00BBGGRR; with kSystemColor set, the low byte is a system colour index.
inline constexpr uint32_t kSystemColor = 0x80000000u;
inline constexpr uint32_t kColorWindowText = kSystemColor | 8;
inline constexpr uint32_t kColorButtonFace = kSystemColor | 15;
inline constexpr uint32_t kColorBlack = 0x000000;
inline constexpr uint32_t kColorWhite = 0xFFFFFF;
inline constexpr uint32_t kColorRed = 0x0000FF;

// Font sizes are character heights in pixels.
struct FontLayout {
    const char* face = nullptr;  // null: the form's face
    int32_t size = 0;            // 0: the form's size
    bool bold = false;
    bool italic = false;
};

enum ControlFlag : uint32_t {
    kCentered = 1u << 0,     // label text centred
    kAutoSize = 1u << 1,     // label sized to its text; width and height are ignored
    kTransparent = 1u << 2,  // label drawn over whatever lies beneath it
    kDefault = 1u << 3,      // the button Enter clicks
    kCancel = 1u << 4,       // the button Esc clicks
    kFillClient = 1u << 5,   // covers the client area and follows its size
};

struct ControlLayout {
    const char* name;
    ControlKind kind;
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    const char* text;  // caption or initial text; for an edit, the text of its label
    uint32_t flags;
    FontLayout font;
    uint32_t color;  // font colour
    int32_t value;   // progress bar: maximum; timer: interval in milliseconds
};

struct FormLayout {
    const char* className;
    const char* caption;
    int32_t clientWidth;
    int32_t clientHeight;
    FormBorder border;
    bool stayOnTop;
    bool centered;    // centred on the screen at every show
    bool fullScreen;  // covers the screen at every show
    bool dialogKeys;  // Tab, Enter, Esc and mnemonics navigate; otherwise raw keys reach the form
    FontLayout font;
    const ControlLayout* controls;  // in tab order; earlier controls lie above later ones
    size_t controlCount;
};

// A control's window identifier: its position in the layout plus one.
int ControlId(const FormLayout& form, const char* name);
// An edit's label has the edit's identifier plus this offset.
inline constexpr int kEditLabelIdOffset = 1000;
