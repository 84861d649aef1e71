#include "tests/fakes/ScriptedUi.h"

#include <gtest/gtest.h>

std::string MessageEvent(const std::string& caption, MessageButtons buttons,
                         const std::string& text, MessageIcon icon) {
    static const char* const kButtons[] = {"OK", "OKCancel", "YesNo"};
    static const char* const kIcons[] = {"", "|exclamation", "|stop"};
    return "message " + caption + "|" + kButtons[static_cast<int>(buttons)] +
           kIcons[static_cast<int>(icon)] + "|" + text;
}

bool ScriptedUi::ShowMessage(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) {
    events.push_back(MessageEvent(caption, buttons, text, icon));
    if (onMessage) {
        onMessage();
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << events.back();
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedUi::PumpMessages() {
    ++pumps;
    if (onPump) {
        onPump();
    }
}

void ScriptedUi::SetStatus(const std::string& text) {
    events.push_back("status " + text);
    if (onStatus) {
        onStatus(text);
    }
}
void ScriptedUi::SetBarMax(int max) {
    events.push_back("max " + std::to_string(max));
}
void ScriptedUi::SetBarPosition(int position) {
    events.push_back("pos " + std::to_string(position));
}

std::vector<std::string> ScriptedUi::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& event : events) {
        if (event.compare(0, 8, "message ") == 0) {
            messages.push_back(event);
        }
    }
    return messages;
}

Events Bar(int position) {
    return {"max 100", "pos " + std::to_string(position)};
}

Events Reset() {
    return {"status ", "max 100", "pos 0"};
}

Events Join(std::initializer_list<Events> parts) {
    Events all;
    for (const Events& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}
