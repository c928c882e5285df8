#include "clipboard/win32_save_format.h"

#include <commdlg.h>

#include <algorithm>

#include "clipboard/saved_file.h"
#include "ui/handles.h"

namespace norvane {
namespace {

std::string SystemReason(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string reason = length ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto size = static_cast<DWORD>(std::min(kChunk, bytes.size() - at));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + at, size, &written, nullptr) || written != size)
            return false;
        at += size;
    }
    return true;
}

}  // namespace

std::optional<std::string> WriteFormatFile(const std::string& path, unsigned format,
                                           const FormatData& data) {
    const FileContent content = SavedFileContent(format, data);
    if (!content.problem.empty()) return content.problem;
    const auto failed = [&](DWORD error) {
        return "The file \"" + path + "\" could not be written: " + SystemReason(error);
    };
    // A new file beside the chosen one, renamed over it once it is whole.
    char part[MAX_PATH] = {};
    if (!GetTempFileNameA(FolderOf(path).c_str(), "nvn", 0, part)) return failed(GetLastError());
    DWORD error = 0;
    HANDLE opened =
        CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        const UniqueKernelHandle file(opened);
        if (!WriteAll(file.get(), content.prefix) || !WriteAll(file.get(), content.body))
            error = GetLastError();
    }
    if (!error && !MoveFileExA(part, path.c_str(), MOVEFILE_REPLACE_EXISTING))
        error = GetLastError();
    if (!error) return std::nullopt;
    DeleteFileA(part);
    return failed(error);
}

bool SaveFormatAs(HWND owner, MessageDialog& messages, unsigned format, const FormatData& data,
                  bool isText) {
    const FileContent content = SavedFileContent(format, data);
    if (!content.problem.empty()) {
        messages.Show(content.problem, MessageKind::Warning, MessageButtons::Ok);
        return false;
    }
    const std::string extension = SavedFileExtension(format, data.kind, isText);
    const std::string filter = "*." + extension + std::string(1, '\0') + "*." + extension +
                               std::string(1, '\0') + "All files" + std::string(1, '\0') + "*.*" +
                               std::string(2, '\0');
    char path[MAX_PATH] = {};
    const std::string proposed = "clipboard." + extension;
    proposed.copy(path, MAX_PATH - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return false;
    if (const auto failure = WriteFormatFile(path, format, data)) {
        messages.Show(*failure, MessageKind::Error, MessageButtons::Ok);
        return false;
    }
    return true;
}

}  // namespace norvane
