#include "forms/MessageBox.h"

#include <windows.h>

#include "forms/ApplicationModality.h"
#include "forms/Forms.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

// Wine ignores MB_TOPMOST, so the box is raised above the stay-on-top windows by
// hand when it is activated.
LRESULT CALLBACK RaiseMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ShowMessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                    MessageIcon icon) {
    UINT type = MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND;
    switch (buttons) {
        case MessageButtons::Ok:
            type |= MB_OK;
            break;
        case MessageButtons::OkCancel:
            type |= MB_OKCANCEL;
            break;
        case MessageButtons::YesNo:
            type |= MB_YESNO;
            break;
    }
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Exclamation:
            type |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Stop:
            type |= MB_ICONSTOP;
            break;
    }
    // Owned by the application's window, so that the task bar shows no button of its
    // own and the program's button brings it back. An owner alone would be the only
    // window disabled: all of the program's are. The activation then goes back to the
    // window that had it.
    HWND active = GetActiveWindow();
    const HWND owner = ApplicationWindow();
    int answer;
    {
        const ApplicationModality modality(owner);
        const ThreadHook raise(WH_CBT, RaiseMessageBox);
        answer = MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), type);
    }
    if (active != nullptr && IsWindowVisible(active)) {
        SetActiveWindow(active);
    }
    return answer == IDOK || answer == IDYES;
}

void ShowExceptionMessage(const std::string& title, const std::string& message) {
    // A trail byte is never '.', so the last byte decides.
    const bool endsInFullStop = !message.empty() && message.back() == '.';
    ShowMessageBox(endsInFullStop ? message : message + ".", title, MessageButtons::Ok,
                   MessageIcon::Stop);
}
