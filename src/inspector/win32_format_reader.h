// The inspector's reading of one format, done on a worker thread: the
// format's data copied out of the clipboard (which its owner may be slow to
// render, and which may be tens of megabytes from another process), what
// the header says of it, and its text made ready for the text view. The
// window's thread only answers meanwhile, and gets the reading in a posted
// message. A new reading, or a cancel, drops the one under way: its result
// is never handed out.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "clipboard/clipboard_service.h"
#include "inspector/format_contents.h"
#include "inspector/format_inspection.h"
#include "inspector/win32_text_view.h"
#include "inspector/win32_worker.h"
#include "reader/win32_reader_process.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

// One format read, as the inspector shows it; made once, then only read.
// Its contents and text lie within its own bytes: it is never moved.
struct InspectedFormat {
    InspectedFormat() = default;
    InspectedFormat(const InspectedFormat&) = delete;
    InspectedFormat& operator=(const InspectedFormat&) = delete;

    unsigned format = 0;
    std::string name;  // registered; empty for a predefined format
    FormatReading reading;
    std::optional<FormatContents> contents;  // when read
    std::string localeText;                  // a locale's name, which the text view shows
    std::span<const std::uint8_t> text;      // what the text view shows
    TextEncoding encoding = TextEncoding::None;
    ViewText viewText;  // `text` made ready for the view, once taken
};

// The columns of a reading whose text no view shows (one to be saved).
inline constexpr std::size_t kNoTextView = 0;

// Makes `reading` of `format` ready for a text view of `columns`; never
// throws for what the clipboard held.
std::shared_ptr<InspectedFormat> InspectFormat(ClipboardService& clipboard, unsigned format,
                                               FormatReading reading, std::size_t columns);

class FormatReader final : public Window {
  public:
    using Done = std::function<void(std::shared_ptr<InspectedFormat>)>;
    // `done` is called on this thread with each reading that is still current.
    FormatReader(MessageDialog& messages, ClipboardService& clipboard, Done done);

    // Drops the reading under way and starts one of `format` for `forWindow`,
    // which owns the boxes its result brings.
    void Start(unsigned format, HWND forWindow, std::size_t columns);
    void Cancel();
    // Whether a reading is queued, under way or not yet handed out.
    bool Busy() const { return worker_->Busy(); }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    MessageDialog& messages_;
    ClipboardService& clipboard_;
    // The system's clipboard is read in a reader process; one held in
    // memory in this one. The worker's readings share it, one at a time.
    std::shared_ptr<ReaderProcess> readerProcess_;
    Done done_;
    // A member: it ends before the window it posts to, which the base destroys.
    std::optional<Worker> worker_;
};

}  // namespace norvane
