// What a line of the format list offers beyond the list itself: its format
// inspected, its data saved, and every format saved at once. They live
// above this layer (the format inspector); the application hands the list
// a maker for them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "clipboard/clipboard_service.h"
#include "ui/message_dialog.h"

namespace norvane {

class FormatLineActions {
  public:
    virtual ~FormatLineActions() = default;
    // `line` is the format's line in the list.
    virtual void Inspect(unsigned format, const std::string& line) = 0;
    virtual void SaveAs(unsigned format, const std::string& line) = 0;
    // Every format on the clipboard, each in a file of its own.
    virtual void SaveAll() = 0;
    // Drops what is read and not yet shown (the list closes): no dialog or
    // box comes of it.
    virtual void Cancel() = 0;
};

// The list the actions serve: its message boxes, its clipboard, and its
// window, which owns every window the actions open.
struct FormatListContext {
    MessageDialog& messages;
    ClipboardService& clipboard;
    WindowHandle list;
};

// Made when a line first asks for them, and kept by the list.
using FormatLineActionsMaker =
    std::function<std::unique_ptr<FormatLineActions>(const FormatListContext&)>;

}  // namespace norvane
