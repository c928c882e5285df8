#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "util/durable_file.h"

namespace norvane {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name of the file written beside the target, numbered `n`: ours in
// full where it fits within MAX_PATH (the system's temporary names refuse
// folders within 14 characters of it), else as short as the room the
// target's own name leaves.
std::string PartName(const std::string& folder, unsigned n) {
    const std::size_t room = folder.size() + 2 < MAX_PATH ? MAX_PATH - 1 - folder.size() : 1;
    char full[40], brief[16];
    wsprintfA(full, "~nvn%lx-%x.tmp", GetCurrentProcessId(), n);
    if (std::strlen(full) <= room) return folder + full;
    const std::size_t length = static_cast<std::size_t>(wsprintfA(brief, "~%x", n));
    return folder + (brief + length - std::min(room, length));
}

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using UniqueFile = std::unique_ptr<void, CloseFile>;

struct PartFile {
    std::string name;
    UniqueFile file;
};
// A new file beside `path`, never one that is there already.
std::optional<PartFile> CreatePartFile(const std::string& path, DWORD& error) {
    static unsigned made = 0;
    for (int tried = 0; tried < 100; ++tried) {
        PartFile part{PartName(FolderOf(path), ++made), {}};
        HANDLE opened = CreateFileA(part.name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened != INVALID_HANDLE_VALUE) {
            part.file.reset(opened);
            return part;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

// The bytes written whole; else the reason, a short write named as such
// (the system sets no error for one).
std::optional<std::string> WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto size = static_cast<DWORD>(std::min(kChunk, bytes.size() - at));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + at, size, &written, nullptr))
            return SystemReason(GetLastError());
        if (written != size)
            return "the system wrote only " + std::to_string(written) + " of " +
                   std::to_string(size) + " bytes and gave no reason.";
        at += size;
    }
    return std::nullopt;
}

// The whole file on the disk before it takes the chosen name, and the
// rename itself on the disk before we report success: after a power loss
// the name holds the old file or the new one, never an empty one.
std::optional<std::string> WriteDurably(
    const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts) {
    DWORD error = 0;
    auto part = CreatePartFile(path, error);
    if (!part) return SystemReason(error);
    std::optional<std::string> failure;
    for (const auto bytes : parts)
        if ((failure = WriteAll(part->file.get(), bytes))) break;
    if (!failure && !FlushFileBuffers(part->file.get())) failure = SystemReason(GetLastError());
    part->file.reset();
    if (!failure && !MoveFileExA(part->name.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = SystemReason(GetLastError());
    if (failure) DeleteFileA(part->name.c_str());
    return failure;
}

}  // namespace

std::string SystemReason(unsigned long error) {
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

std::optional<std::string> WriteFileDurably(
    const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts) {
    if (const auto failure = WriteDurably(path, parts))
        return "The file \"" + path + "\" could not be written: " + *failure;
    return std::nullopt;
}

}  // namespace norvane
