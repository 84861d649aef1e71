// The menu's keyboard and hover rules as plain functions: what a key does for the
// current highlight and install state, and which live slot lies under the mouse.
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
