#include "menu/MenuKeys.h"

namespace {

MenuKeyEffect Highlight(int32_t slot) {
    return {MenuKeyEffect::Highlight, slot};
}

}  // namespace

bool IsSlotLive(int32_t slot, bool installed) {
    switch (slot) {
        case kSlotInstall:
            return !installed;
        case kSlotUninstall:
            return installed;
        case kSlotExit:
            return true;
        default:
            return false;
    }
}

MenuKeyEffect MenuKeyDown(uint32_t key, int32_t hotIndex, bool installed) {
    // With nothing highlighted, the arrows and Enter start at the home slot.
    const int32_t home = installed ? kSlotExit : kSlotInstall;
    switch (key) {
        case kKeyEscape:
            return {MenuKeyEffect::Activate, kSlotExit};
        case kKeyEnter:
            if (hotIndex < 0) {
                return Highlight(home);
            }
            return {MenuKeyEffect::Activate, hotIndex};
        case kKeyRight:
        case kKeyDown:
            if (hotIndex < 0) {
                return Highlight(home);
            }
            if (hotIndex == kSlotInstall || hotIndex == kSlotUninstall) {
                return Highlight(kSlotExit);
            }
            return {};
        case kKeyLeft:
        case kKeyUp:
            if (hotIndex < 0) {
                return Highlight(home);
            }
            if (hotIndex == kSlotExit) {
                return Highlight(installed ? kSlotUninstall : kSlotInstall);
            }
            return {};
        default:
            return {};
    }
}

int32_t HitTestSlots(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t x, int32_t y) {
    for (int32_t i = 0; i < kSlotCount; ++i) {
        const ButtonRect& r = rects[i];
        if (IsSlotLive(i, installed) && r.left <= x && x < r.right && r.top <= y && y < r.bottom) {
            return i;
        }
    }
    return -1;
}

void MenuPointer::CursorMoved(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    cursorMoved_ = true;
    fromX_ = fromX;
    fromY_ = fromY;
    toX_ = toX;
    toY_ = toY;
}

int32_t MenuPointer::SlotForMove(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t hot,
                                 int32_t x, int32_t y) {
    if (cursorMoved_) {
        if (x == fromX_ && y == fromY_) {
            return hot;
        }
        cursorMoved_ = x == toX_ && y == toY_;
    }
    return HitTestSlots(rects, installed, x, y);
}

int32_t MenuPointer::SlotForClick(const ButtonRect (&rects)[kSlotCount], bool installed, int32_t x,
                                  int32_t y) {
    // The pointer is where the click is: no later move at the old place is stale.
    cursorMoved_ = false;
    return HitTestSlots(rects, installed, x, y);
}
