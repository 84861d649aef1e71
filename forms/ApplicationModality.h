// Modality to the whole application, as a message box without an owner has it: the
// program's windows, shown or not, are disabled while this object lives, and
// enabled again after.
#pragma once

#include <windows.h>

#include <vector>

class ApplicationModality {
public:
    ApplicationModality() {
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(this));
    }
    ~ApplicationModality() {
        for (HWND window : disabled_) {
            EnableWindow(window, TRUE);
        }
    }
    ApplicationModality(const ApplicationModality&) = delete;
    ApplicationModality& operator=(const ApplicationModality&) = delete;

private:
    static BOOL CALLBACK DisableWindow(HWND window, LPARAM self) {
        if (IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<ApplicationModality*>(self)->disabled_.push_back(window);
        }
        return TRUE;
    }

    std::vector<HWND> disabled_;
};
