// Modality to the whole application, as a message box without an owner has it: the
// program's windows, shown or not, are disabled while this object lives, and
// enabled again after. The owner of the modal window is left to it: enabled again
// before that window goes, it takes the activation back.
#pragma once

#include <windows.h>

#include <cstddef>

class ApplicationModality {
public:
    explicit ApplicationModality(HWND owner) : owner_(owner) {
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(this));
    }
    ~ApplicationModality() {
        for (size_t i = 0; i < count_; ++i) {
            EnableWindow(disabled_[i], TRUE);
        }
    }
    ApplicationModality(const ApplicationModality&) = delete;
    ApplicationModality& operator=(const ApplicationModality&) = delete;

private:
    static BOOL CALLBACK DisableWindow(HWND window, LPARAM self) {
        auto* modality = reinterpret_cast<ApplicationModality*>(self);
        if (window != modality->owner_ && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            modality->disabled_[modality->count_++] = window;
        }
        return modality->count_ < kMaxWindows;
    }

    // Far more than the program's windows, with the system's of its thread.
    static constexpr size_t kMaxWindows = 64;
    HWND owner_;
    HWND disabled_[kMaxWindows];
    size_t count_ = 0;
};
