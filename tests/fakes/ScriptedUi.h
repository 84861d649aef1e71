// A user interface for the engine tests: it records every status text, bar value
// and message box as one line of `events`, answers message boxes from a script and
// can run a hook at each message pump (to request a cancel at a chosen point), message
// or status text.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "system/Ui.h"

class ScriptedUi : public Ui {
public:
    // Answers for the coming message boxes, in order; a box without one fails the test.
    std::deque<bool> answers;
    std::vector<std::string> events;
    int pumps = 0;
    std::function<void()> onPump;
    std::function<void()> onMessage;
    // Runs at each status text, after it is recorded.
    std::function<void(const std::string& text)> onStatus;

    bool ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                     MessageIcon icon) override;
    void PumpMessages() override;
    void SetStatus(const std::string& text) override;
    void SetBarMax(int max) override;
    void SetBarPosition(int position) override;

    // The recorded message boxes only, as "caption|buttons|text".
    std::vector<std::string> Messages() const;
};

// The event line of a message box, as ScriptedUi records it.
std::string MessageEvent(const std::string& caption, MessageButtons buttons,
                         const std::string& text, MessageIcon icon = MessageIcon::None);

// Expected event sequences of the engines.
using Events = std::vector<std::string>;
// "Set the bar to n": maximum 100, position n.
Events Bar(int position);
// The reset after a stop or at the end: empty status, bar 0 of 100.
Events Reset();
Events Join(std::initializer_list<Events> parts);
