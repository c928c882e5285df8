#include "inspector/win32_format_reader.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "inspector/win32_locale_name.h"
#include "ui/guard.h"
#include "ui/win32_message_dialog.h"
#include "util/bytes_of.h"

namespace norvane {
namespace {

constexpr char kClassName[] = "TFormatReader";
// A reading done, its lParam for Worker::Take.
constexpr UINT kReadMessage = WM_APP + 1;

class Reading final : public WorkItem {
  public:
    Reading(ClipboardService& clipboard, std::shared_ptr<ReaderProcess> readerProcess,
            unsigned format, WindowHandle openWith, HWND forWindow, std::size_t columns)
        : forWindow(forWindow),
          clipboard_(clipboard),
          readerProcess_(std::move(readerProcess)),
          format_(format),
          openWith_(openWith),
          columns_(columns) {}
    void Run(const WorkCancel& cancelled) override {
        FormatReading reading =
            readerProcess_ ? readerProcess_->Read(format_, [&cancelled] { return cancelled(); })
                           : ReadFormat(clipboard_, format_, openWith_);
        if (cancelled()) return;  // never shown
        result = InspectFormat(clipboard_, format_, std::move(reading), columns_);
    }
    const HWND forWindow;
    std::shared_ptr<InspectedFormat> result;

  private:
    ClipboardService& clipboard_;
    std::shared_ptr<ReaderProcess> readerProcess_;
    unsigned format_;
    WindowHandle openWith_;
    std::size_t columns_;
};

// What the views show of a format read: made within its own bytes.
void MakeReady(InspectedFormat& i, std::size_t columns) {
    // The text view's text: a text, a file list's paths, an HTML fragment, a locale's name.
    const FormatContents& contents = i.contents.emplace(i.format, i.name, i.reading.data.bytes);
    i.encoding = contents.Encoding();
    if (contents.Locale()) i.localeText = LocaleText(*contents.Locale());
    i.text = contents.Locale() ? BytesOf(i.localeText) : contents.Text();
    if (i.encoding != TextEncoding::None && columns != kNoTextView)
        i.viewText = ViewText(i.text, i.encoding, columns);
}

// A reading that could not be made ready is one that failed: nothing of it is shown.
void Fail(InspectedFormat& i, std::string failure) {
    i.viewText = {};
    i.text = {};
    i.encoding = TextEncoding::None;
    i.localeText.clear();
    i.contents.reset();
    i.reading.data = {};
    i.reading.outcome = ReadOutcome::Failed;
    i.reading.failure = std::move(failure);
}

}  // namespace

std::shared_ptr<InspectedFormat> InspectFormat(ClipboardService& clipboard, unsigned format,
                                               FormatReading reading, std::size_t columns) {
    auto inspected = std::make_shared<InspectedFormat>();
    InspectedFormat& i = *inspected;
    i.format = format;
    i.name = clipboard.FormatName(format);
    i.reading = std::move(reading);
    if (i.reading.outcome != ReadOutcome::Read) return inspected;
    try {
        MakeReady(i, columns);
    } catch (const std::bad_alloc&) {
        Fail(i, "there is not enough memory to show its data");
    } catch (const std::exception& error) {
        Fail(i, error.what());
    }
    return inspected;
}

FormatReader::FormatReader(MessageDialog& messages, ClipboardService& clipboard, Done done)
    : messages_(messages),
      clipboard_(clipboard),
      readerProcess_(clipboard.IsSystemClipboard() ? std::make_shared<ReaderProcess>() : nullptr),
      done_(std::move(done)) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    worker_.emplace(Handle(), kReadMessage);
}

void FormatReader::Start(unsigned format, HWND forWindow, std::size_t columns) {
    // Opened with the reader's own window: a second thread that opens with
    // the same window (Save All on the windows' thread) would take over
    // this one's open, and its close would end it under the reading.
    worker_->Start(std::make_unique<Reading>(clipboard_, readerProcess_, format, Handle(),
                                             forWindow, columns));
}

void FormatReader::Cancel() {
    worker_->Cancel();
}

LRESULT FormatReader::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kReadMessage) return Window::OnMessage(message, wParam, lParam);
    RunGuarded(messages_, [&] {
        std::unique_ptr<WorkItem> work = worker_->Take(lParam);
        if (!work) return;  // a reading dropped since
        auto& reading = static_cast<Reading&>(*work);
        if (reading.failed || !reading.result) {
            // Out of memory for even the reading's own record.
            reading.result = std::make_shared<InspectedFormat>();
            reading.result->reading.outcome = ReadOutcome::Failed;
            reading.result->reading.failure = "there is not enough memory for a copy of its data";
        }
        const BoxesOwnedBy owner(reading.forWindow);
        done_(std::move(reading.result));
    });
    return 0;
}

}  // namespace norvane
