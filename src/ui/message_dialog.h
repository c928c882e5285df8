// The seam through which the program speaks to the user: every message box
// and the general error box. The Win32 implementation shows real boxes;
// tests record the messages and give scripted answers.
#pragma once

#include <string_view>

namespace norvane {

enum class MessageKind { Warning, Error, Information };
enum class MessageButtons { Ok, YesNo };
// Closed is a box closed by other means than its buttons.
enum class MessageAnswer { Ok, Yes, No, Closed };

class MessageDialog {
  public:
    virtual ~MessageDialog() = default;
    // A modal box titled after its kind. In a Yes/No box Yes is the default
    // button and Escape answers No.
    virtual MessageAnswer Show(std::string_view text, MessageKind kind, MessageButtons buttons) = 0;
    // The general error box: the application title, a stop icon and OK.
    // Never throws: it is the last resort of every event handler.
    virtual void ShowError(std::string_view text) noexcept = 0;
};

}  // namespace norvane
