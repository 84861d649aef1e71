#include <gtest/gtest.h>

#include <string>

#include "menu/MenuKeys.h"

namespace {

constexpr auto Nothing = MenuKeyEffect::Nothing;
constexpr auto Activate = MenuKeyEffect::Activate;
constexpr auto Highlight = MenuKeyEffect::Highlight;

TEST(MenuKeys, KeyTable) {
    struct Case {
        uint32_t key;
        int32_t hot;
        bool installed;
        MenuKeyEffect::Kind kind;
        int32_t slot;
    } cases[] = {
        // Escape leaves from anywhere.
        {kKeyEscape, -1, false, Activate, kSlotExit},
        {kKeyEscape, 1, false, Activate, kSlotExit},
        {kKeyEscape, 2, true, Activate, kSlotExit},
        // Enter activates the highlight, or highlights the home slot.
        {kKeyEnter, 1, false, Activate, 1},
        {kKeyEnter, 2, true, Activate, 2},
        {kKeyEnter, 3, true, Activate, 3},
        {kKeyEnter, -1, false, Highlight, kSlotInstall},
        {kKeyEnter, -1, true, Highlight, kSlotExit},
        // Right and Down.
        {kKeyRight, 1, false, Highlight, 3},
        {kKeyDown, 1, false, Highlight, 3},
        {kKeyRight, 2, true, Highlight, 3},
        {kKeyDown, 2, true, Highlight, 3},
        {kKeyRight, 3, false, Nothing, -1},
        {kKeyDown, 3, true, Nothing, -1},
        {kKeyRight, -1, false, Highlight, kSlotInstall},
        {kKeyDown, -1, true, Highlight, kSlotExit},
        // Left and Up.
        {kKeyLeft, 1, false, Nothing, -1},
        {kKeyUp, 1, false, Nothing, -1},
        {kKeyLeft, 2, true, Nothing, -1},
        {kKeyUp, 2, true, Nothing, -1},
        {kKeyLeft, 3, true, Highlight, kSlotUninstall},
        {kKeyUp, 3, true, Highlight, kSlotUninstall},
        {kKeyLeft, 3, false, Highlight, kSlotInstall},
        {kKeyUp, 3, false, Highlight, kSlotInstall},
        {kKeyLeft, -1, false, Highlight, kSlotInstall},
        // Up with nothing highlighted on an installed system goes to Exit, not Uninstall.
        {kKeyUp, -1, true, Highlight, kSlotExit},
        // Everything else is ignored.
        {0x20, 1, false, Nothing, -1},    // space
        {0x09, -1, true, Nothing, -1},    // tab
        {0x41, 3, false, Nothing, -1},    // A
        {0x0D00, 1, false, Nothing, -1},  // not Enter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.key) + " hot " + std::to_string(c.hot) +
                     (c.installed ? " installed" : ""));
        const MenuKeyEffect effect = MenuKeyDown(c.key, c.hot, c.installed);
        EXPECT_EQ(c.kind, effect.kind);
        if (c.kind != Nothing) {
            EXPECT_EQ(c.slot, effect.slot);
        }
    }
}

TEST(MenuKeys, OnlyLiveSlotsAreHit) {
    ButtonRect rects[kSlotCount];
    LayoutButtonSlots(320, 240, 0, rects);  // slots at y -30, 0, 30, 60
    struct Case {
        int32_t x, y;
        bool installed;
        int32_t slot;
    } cases[] = {
        {0, 0, false, kSlotInstall},
        {119, 29, false, kSlotInstall},
        {120, 10, false, -1},  // the right edge is outside
        {10, 30, false, -1},   // Uninstall is not live
        {10, 30, true, kSlotUninstall},
        {10, 0, true, -1},  // Install is not live
        {10, 60, false, kSlotExit},
        {10, 89, true, kSlotExit},
        {10, 90, true, -1},    // the bottom edge is outside
        {10, -10, false, -1},  // slot 0 is never hit
        {-1, 10, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) +
                     (c.installed ? " installed" : ""));
        EXPECT_EQ(c.slot, HitTestSlots(rects, c.installed, c.x, c.y));
    }
    // At the bottom, slot 0 lies inside the picture and is still never hit.
    LayoutButtonSlots(320, 240, 2, rects);
    EXPECT_EQ(-1, HitTestSlots(rects, false, 10, 130));
    EXPECT_EQ(kSlotInstall, HitTestSlots(rects, false, 10, 150));
}

// The menu's slots with ButtonAlign 0, Install live: one point in each, and the
// cursor point of Exit that a key's highlight takes the cursor to.
struct PointerFixture {
    PointerFixture() { LayoutButtonSlots(320, 240, 0, rects); }
    ButtonRect rects[kSlotCount];
    const int32_t installX = 40, installY = 10;
    const int32_t exitX = 96, exitY = 84;
    const int32_t offX = 200, offY = 200;
    MenuPointer pointer;
};

TEST(MenuPointer, AClickActsOnTheSlotUnderThePointerAfterADroppedMove) {
    PointerFixture f;
    int32_t hot = f.pointer.SlotForMove(f.rects, false, -1, f.installX, f.installY);
    ASSERT_EQ(kSlotInstall, hot);
    // Down moves the highlight and the cursor to Exit; the old place is reported late.
    const MenuKeyEffect down = MenuKeyDown(kKeyDown, hot, false);
    ASSERT_EQ(Highlight, down.kind);
    hot = down.slot;
    f.pointer.CursorMoved(f.installX, f.installY, f.exitX, f.exitY);
    EXPECT_EQ(kSlotExit, f.pointer.SlotForMove(f.rects, false, hot, f.installX, f.installY));
    // The pointer is over Install at the click, as the user sees it.
    EXPECT_EQ(kSlotInstall, f.pointer.SlotForClick(f.rects, false, f.installX, f.installY));
    // Once clicked, a move at that place is the user's.
    EXPECT_EQ(kSlotInstall, f.pointer.SlotForMove(f.rects, false, hot, f.installX, f.installY));
    // A click beside every live slot acts on none, whatever is highlighted.
    EXPECT_EQ(-1, f.pointer.SlotForClick(f.rects, false, f.offX, f.offY));
    EXPECT_EQ(-1, f.pointer.SlotForClick(f.rects, false, 40, 40));  // Uninstall, not live
}

TEST(MenuPointer, OnlyTheOldPlaceAfterACursorMoveIsDropped) {
    struct Step {
        const char* what;
        int32_t x, y;
        int32_t hot;
        int32_t slot;
    };
    PointerFixture f;
    const Step steps[] = {
        {"before any cursor move, the old place counts", f.installX, f.installY, kSlotExit,
         kSlotInstall},
        {"cursor moved: the old place is dropped", f.installX, f.installY, kSlotExit, kSlotExit},
        {"the new place counts", f.exitX, f.exitY, kSlotExit, kSlotExit},
        {"the old place is still dropped", f.installX, f.installY, kSlotExit, kSlotExit},
        {"somewhere else counts", f.offX, f.offY, kSlotExit, -1},
        {"after that, the old place counts again", f.installX, f.installY, -1, kSlotInstall},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (&step == &steps[1]) {
            f.pointer.CursorMoved(f.installX, f.installY, f.exitX, f.exitY);
        }
        EXPECT_EQ(step.slot, f.pointer.SlotForMove(f.rects, false, step.hot, step.x, step.y));
    }
}

}  // namespace
