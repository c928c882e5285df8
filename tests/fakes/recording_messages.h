// Records every message shown and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/message_dialog.h"

namespace norvane::testing {

class RecordingMessages : public MessageDialog {
  public:
    struct Shown {
        std::string text;
        MessageKind kind;
        MessageButtons buttons;
    };
    std::vector<Shown> shown;
    std::vector<std::string> errors;  // the general error box
    std::deque<MessageAnswer> answers;
    // Runs while a box is up, as a user's clicks would.
    std::function<void()> whileShown;

    MessageAnswer Show(std::string_view text, MessageKind kind, MessageButtons buttons) override {
        shown.push_back({std::string(text), kind, buttons});
        if (whileShown) std::exchange(whileShown, nullptr)();
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    void ShowError(std::string_view text) noexcept override { errors.emplace_back(text); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown) texts.push_back(s.text);
        return texts;
    }
};

}  // namespace norvane::testing
