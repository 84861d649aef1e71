#include "forms/TaskbarButton.h"

namespace {

TBPFLAG FlagOf(TaskbarProgress state) {
    switch (state) {
        case TaskbarProgress::Normal:
            return TBPF_NORMAL;
        case TaskbarProgress::Paused:
            return TBPF_PAUSED;
        case TaskbarProgress::None:
            break;
    }
    return TBPF_NOPROGRESS;
}

}  // namespace

void TaskbarButton::Show(TaskbarProgress state, int position, int max) {
    if (state == TaskbarProgress::None) {
        position = max = -1;
    }
    // The copy reports for every chunk; the shell hears only of changes.
    if (state == state_ && position == position_ && max == max_) {
        return;
    }
    ITaskbarList3* list = List();
    if (list == nullptr) {
        return;
    }
    if (state != state_) {
        list->SetProgressState(window_, FlagOf(state));
        state_ = state;
    }
    if (position != position_ || max != max_) {
        if (state != TaskbarProgress::None) {
            list->SetProgressValue(window_, static_cast<ULONGLONG>(position < 0 ? 0 : position),
                                   static_cast<ULONGLONG>(max < 1 ? 1 : max));
        }
        position_ = position;
        max_ = max;
    }
}

void TaskbarButton::UseList(ITaskbarList3* list) {
    list_.Reset();
    if (list != nullptr) {
        list->AddRef();
        *list_.Receive() = list;
    }
    created_ = true;
    state_ = TaskbarProgress::None;
    position_ = max_ = -1;
}

ITaskbarList3* TaskbarButton::List() {
    if (!created_) {
        created_ = true;
        // Windows before 7 has the list without this interface; then it stays null.
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ITaskbarList3, list_.ReceiveVoid())) &&
            FAILED(list_->HrInit())) {
            list_.Reset();
        }
    }
    return list_.Get();
}
