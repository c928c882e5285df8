#include "inspector/win32_save_from_clipboard.h"

#include "inspector/win32_save_format.h"

namespace norvane {

bool ReportReadFailure(MessageDialog& messages, const std::string& line,
                       const FormatReading& reading) {
    switch (reading.outcome) {
        case ReadOutcome::Read:
            return true;
        case ReadOutcome::ClipboardHeld:
            break;
        case ReadOutcome::FormatGone:
            messages.Show(FormatGoneText(line), MessageKind::Warning, MessageButtons::Ok);
            break;
        case ReadOutcome::NotRendered:
            messages.Show(NotRenderedText(line), MessageKind::Warning, MessageButtons::Ok);
            break;
        case ReadOutcome::Failed:
            messages.Show(ReadFailedText(line, reading.failure), MessageKind::Error,
                          MessageButtons::Ok);
            break;
    }
    return false;
}

void SaveReading(HWND window, MessageDialog& messages, const std::string& line,
                 const InspectedFormat& inspected) {
    const FormatReading& reading = inspected.reading;
    if (!ReportReadFailure(messages, line, reading)) {
        if (reading.outcome == ReadOutcome::ClipboardHeld)
            messages.Show("Nothing was saved: " + ClipboardHeldText() + ".", MessageKind::Warning,
                          MessageButtons::Ok);
        return;
    }
    const bool isText = TextEncodingOf(inspected.format, inspected.name) != TextEncoding::None;
    SaveFormatAs(window, messages, inspected.format, reading.data, isText);
}

}  // namespace norvane
