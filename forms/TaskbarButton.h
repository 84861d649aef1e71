// The progress shown on the application's task-bar button, through the shell's
// task-bar list. The list is created at the first report; where the system or its
// shell has none (no task bar, or one older than Windows 7) nothing is shown.
#pragma once

#include <windows.h>
// After windows.h.
#include <shobjidl.h>

#include "system/win32/Handles.h"

enum class TaskbarProgress { None, Normal, Paused };

class TaskbarButton {
public:
    explicit TaskbarButton(HWND window) : window_(window) {}
    TaskbarButton(const TaskbarButton&) = delete;
    TaskbarButton& operator=(const TaskbarButton&) = delete;

    // The state and, unless it is None, `position` of `max` as the bar shows them.
    void Show(TaskbarProgress state, int position, int max);
    // Reports to `list` instead of the shell's; for tests.
    void UseList(ITaskbarList3* list);

private:
    ITaskbarList3* List();

    HWND window_;
    ComPtr<ITaskbarList3> list_;
    bool created_ = false;  // the list was asked for, whether the shell had one or not
    TaskbarProgress state_ = TaskbarProgress::None;
    int position_ = -1;
    int max_ = -1;
};
