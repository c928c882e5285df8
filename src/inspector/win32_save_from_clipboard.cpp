#include "inspector/win32_save_from_clipboard.h"

#include "inspector/win32_save_format.h"

namespace norvane {

bool ReadFormatReporting(ClipboardService& clipboard, MessageDialog& messages, unsigned format,
                         const std::string& line, HWND window, FormatReading& reading) {
    reading = ReadFormat(clipboard, format, window);
    return ReportReadFailure(messages, line, reading);
}

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

void SaveFormatFromClipboard(ClipboardService& clipboard, MessageDialog& messages, unsigned format,
                             const std::string& line, HWND window) {
    FormatReading reading;
    if (!ReadFormatReporting(clipboard, messages, format, line, window, reading)) {
        if (reading.outcome == ReadOutcome::ClipboardHeld)
            messages.Show("Nothing was saved: " + ClipboardHeldText() + ".", MessageKind::Warning,
                          MessageButtons::Ok);
        return;
    }
    const bool isText = TextEncodingOf(format, clipboard.FormatName(format)) != TextEncoding::None;
    SaveFormatAs(window, messages, format, reading.data, isText);
}

}  // namespace norvane
