#include "inspector/win32_save_format.h"

#include "inspector/saved_file.h"
#include "ui/save_dialog.h"
#include "util/durable_file.h"

namespace norvane {

std::optional<std::string> WriteFormatFile(const std::string& path, unsigned format,
                                           const FormatData& data) {
    const FileContent content = SavedFileContent(format, data);
    if (!content.problem.empty()) return content.problem;
    return WriteFileDurably(path, {content.prefix, content.body});
}

bool SaveFormatAs(HWND owner, MessageDialog& messages, unsigned format, const FormatData& data,
                  bool isText) {
    const FileContent content = SavedFileContent(format, data);
    if (!content.problem.empty()) {
        messages.Show(content.problem, MessageKind::Warning, MessageButtons::Ok);
        return false;
    }
    const std::string extension = SavedFileExtension(format, data.kind, isText);
    const auto path = AskSaveFileName(owner, "clipboard." + extension, extension);
    if (!path) return false;
    if (const auto failure = WriteFormatFile(*path, format, data)) {
        messages.Show(*failure, MessageKind::Error, MessageButtons::Ok);
        return false;
    }
    return true;
}

}  // namespace norvane
