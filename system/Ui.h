// What the engines and dialogs need of the user interface: message boxes, the
// message pump, and the status label and progress bar of a progress window.
#pragma once

#include <string>

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Exclamation, Stop };

class Ui {
public:
    virtual ~Ui() = default;
    // Modal application message box; true only for OK or Yes.
    virtual bool ShowMessage(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon = MessageIcon::None) = 0;
    // Lets the user interface process pending input and paint events.
    virtual void PumpMessages() = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetBarMax(int max) = 0;
    virtual void SetBarPosition(int position) = 0;
};

// The message-box captions of the program.
inline const char* const kCaptionError = "エラー";
inline const char* const kCaptionWarning = "警告";
inline const char* const kCaptionConfirm = "確認";
inline const char* const kCaptionSuccess = "成功";
inline const char* const kCaptionNotice = "メッセージ";
