// The menu's picture: where the four button slots lie, and the three looks of the
// picture (normal, highlighted, dimmed) with the labels of the strip drawn in.
#pragma once

#include <cstdint>

#include "config/SetupSettings.h"
#include "system/Bitmap.h"

constexpr int kSlotCount = 4;
constexpr int32_t kSlotWidth = 120;
constexpr int32_t kSlotHeight = 30;
// Slot indices. Slot 0 (start the program) has a rectangle and a strip row but
// is never shown, highlighted or activated.
constexpr int32_t kSlotInstall = 1;
constexpr int32_t kSlotUninstall = 2;
constexpr int32_t kSlotExit = 3;
// The labels of the built-in strip, by slot: what a screen reader calls the buttons,
// as a sighted user reads them.
inline constexpr const char* kSlotLabels[kSlotCount] = {"Start", "Install", "Uninstall", "Exit"};

struct MenuPictures {
    Bitmap PicNormal;
    Bitmap PicHot;
    Bitmap PicDim;
};

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Whether "SETUP.jpg" is large enough for the buttons: 120 px both ways.
bool IsMenuPictureLargeEnough(const Bitmap& picture);

// Lays out the four slot rectangles for a picture of width x height, in picture
// coordinates.
void LayoutButtonSlots(int32_t width, int32_t height, int32_t buttonAlign,
                       ButtonRect (&rects)[kSlotCount]);

// Makes the three looks from `picture` and the label strip (4 rows of 30 px, its
// channels coverage masks: green the label, red its shadow, blue the glow), with
// the slots of `settings.ButtonRects`, `ButtonColor` and `ButtonAlign`. Pixels
// outside the picture or the strip are left alone. False when memory runs out.
bool ComposeMenuPictures(const Bitmap& picture, const Bitmap& strip, const TSetupSettings& settings,
                         MenuPictures& pictures);

// Copies a slot's rectangle from one look onto the shown picture.
void CopySlotRect(const Bitmap& source, Bitmap& target, const ButtonRect& rect);

// Where `SetHot` puts the mouse cursor for a slot: 4/5 across and down the rectangle,
// measured from the window's top-left corner on the screen.
ScreenPoint HotCursorPoint(const ButtonRect& rect, int32_t windowLeft, int32_t windowTop);
