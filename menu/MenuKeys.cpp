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
