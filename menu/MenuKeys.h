// The menu's keyboard and mouse rules as plain code: what a key does for the current
// highlight and install state, which live slot lies under the mouse, and which slot
// a mouse move or a click takes.
#pragma once

#include <cstdint>

#include "config/SetupSettings.h"
#include "menu/MenuPicture.h"

// Virtual-key codes the menu reacts to.
constexpr uint32_t kKeyEnter = 0x0D;
constexpr uint32_t kKeyEscape = 0x1B;
constexpr uint32_t kKeyLeft = 0x25;
constexpr uint32_t kKeyUp = 0x26;
constexpr uint32_t kKeyRight = 0x27;
constexpr uint32_t kKeyDown = 0x28;

struct MenuKeyEffect {
    enum Kind {
        Nothing,
        Activate,   // MenuAction with `slot`
        Highlight,  // SetHot with `slot`, moving the cursor there
    };
    Kind kind = Nothing;
    int32_t slot = -1;
};

// Whether a slot can be highlighted and activated: Install only when not
// installed, Uninstall only when installed, Exit always, slot 0 never.
bool IsSlotLive(int32_t slot, bool installed);

MenuKeyEffect MenuKeyDown(uint32_t key, int32_t hotIndex, bool installed);

// The live slot whose rectangle holds the point (right and bottom edges outside),
// or -1.
int32_t HitTestSlots(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t x, int32_t y);

// The slot that each mouse event takes, aware of the cursor moves of a key's
// highlight: Wine can follow such a move with a mouse move reported at the cursor's
// old place, which would take the highlight straight away again.
class MenuPointer {
public:
    // A key's highlight moved the cursor from (fromX, fromY) to (toX, toY), in the
    // picture's coordinates.
    void CursorMoved(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);
    // The slot to highlight for a mouse move at (x, y): `hot` unchanged for the old
    // place reported late, else the live slot under the point or -1.
    int32_t SlotForMove(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t hot,
                        int32_t x, int32_t y);
    // The slot a click at (x, y) acts on: the live slot under the pointer, whatever
    // the highlight after a dropped move says; -1 for none.
    int32_t SlotForClick(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t x,
                         int32_t y);

private:
    // Set from a cursor move of ours until the mouse is next moved somewhere else.
    bool cursorMoved_ = false;
    int32_t fromX_ = 0;
    int32_t fromY_ = 0;
    int32_t toX_ = 0;
    int32_t toY_ = 0;
};
