#include "inspector/win32_save_all_formats.h"

#include <optional>
#include <span>
#include <vector>

#include "inspector/win32_folder_picker.h"
#include "inspector/win32_save_all_progress_form.h"
#include "inspector/win32_save_format.h"
#include "reader/win32_reader_process.h"
#include "ui/application.h"
#include "util/bytes_of.h"
#include "util/durable_file.h"

namespace norvane {
namespace {

// The most folders of the same second tried before giving up.
constexpr int kFolderAttempts = 1000;

std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder + name;
    return folder + "\\" + name;
}

struct MadeFolder {
    std::string path;
    std::string failure;  // empty when it was made
};

// A new folder in `parent` named after the time, numbered when the name is taken.
MadeFolder MakeSnapshotFolder(const std::string& parent, const LocalTime& time) {
    MadeFolder made;
    for (int attempt = 1; attempt <= kFolderAttempts; ++attempt) {
        made.path = Joined(parent, SnapshotFolderName(time, attempt));
        if (CreateDirectoryA(made.path.c_str(), nullptr)) return made;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            made.failure = SystemReason(error);
            return made;
        }
    }
    made.failure = "a folder of that name is there already.";
    return made;
}

// The window takes no input while the files are written (messages are
// handled between them), and is as before afterwards, with the focus it had.
class InputDisabled {
  public:
    explicit InputDisabled(HWND window)
        : window_(window),
          focus_(GetFocus()),
          wasEnabled_(window && !EnableWindow(window, FALSE)) {}
    ~InputDisabled() {
        if (!wasEnabled_) return;
        EnableWindow(window_, TRUE);
        if (focus_ && IsWindow(focus_)) SetFocus(focus_);
    }
    InputDisabled(const InputDisabled&) = delete;
    InputDisabled& operator=(const InputDisabled&) = delete;

  private:
    HWND window_;
    HWND focus_;
    bool wasEnabled_;
};

struct Written {
    std::vector<std::string> fates;  // each format's line of the index
    std::size_t saved = 0;
    bool stopped = false;
};

// The file of one format, and its fate: the file's name, or why there is none.
std::string WriteOne(const std::string& folder, const CopiedFormat& copied, Written& written) {
    if (const std::string reason = NotReadReason(copied.reading); !reason.empty())
        return "not read: " + reason;
    if (written.stopped) return "not written: saving was stopped";
    const std::string name =
        FormatFileName(copied, [](unsigned char byte) { return IsDBCSLeadByte(byte) != 0; });
    if (const auto failure =
            WriteFormatFile(Joined(folder, name), copied.format, copied.reading.data))
        return "not written: " + *failure;
    ++written.saved;
    return name;
}

// The clipboard copied out: the system's in a reader process, while the
// window takes no input and, once it takes long, the progress says so and
// its Cancel gives the reading up; a clipboard held in memory in this one.
ClipboardSnapshot ReadSnapshot(ClipboardService& clipboard, MessageDialog& messages, HWND window,
                               unsigned progressAfterMs) {
    if (!clipboard.IsSystemClipboard()) return CopyAllFormats(clipboard, window);
    ReaderProcess reader;
    std::optional<TSave_All_Progress_Form> progress;
    ClipboardSnapshot snapshot;
    {
        const InputDisabled busy(window);
        const DWORD start = GetTickCount();
        snapshot =
            ReadWhileAnswering(
                [&](const std::function<bool()>& cancelled) { return reader.ReadAll(cancelled); },
                [&] {
                    if (!progress && GetTickCount() - start >= progressAfterMs) {
                        progress.emplace(messages, window);
                        progress->ShowReading();
                    }
                    return progress && progress->StopAsked();
                })
                .first;
    }
    if (progress) progress->Hide();
    return snapshot;
}

Written WriteFormats(const std::string& folder, const std::vector<CopiedFormat>& formats,
                     MessageDialog& messages, HWND window, unsigned progressAfterMs) {
    Written written;
    std::optional<TSave_All_Progress_Form> progress;
    {
        const InputDisabled busy(window);
        const DWORD start = GetTickCount();
        for (std::size_t i = 0; i < formats.size(); ++i) {
            if (!written.stopped && (progress || GetTickCount() - start >= progressAfterMs)) {
                if (!progress) progress.emplace(messages, window);
                progress->ShowSaving(i + 1, formats.size());
            }
            written.fates.push_back(WriteOne(folder, formats[i], written));
            if (written.stopped) continue;
            ProcessPendingMessages();
            // Asked after the last file, there is nothing left to stop.
            written.stopped = progress && progress->StopAsked() && i + 1 < formats.size();
        }
    }
    // Hidden once its owner takes input again, which is then activated.
    if (progress) progress->Hide();
    return written;
}

}  // namespace

std::optional<std::string> PickSaveAllFolder(HWND owner) {
    return PickFolder(owner, L"Save All Formats In");
}

LocalTime LocalTimeNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::optional<std::string> SaveAllFormats(ClipboardService& clipboard, MessageDialog& messages,
                                          HWND window, const SaveAllSettings& settings) {
    // Copied out before the folder is asked for: what is saved is what the
    // clipboard held when the command was chosen.
    const ClipboardSnapshot snapshot =
        ReadSnapshot(clipboard, messages, window, settings.readingProgressAfterMs);
    if (snapshot.clipboard.outcome == ReadOutcome::ClipboardHeld) {
        messages.Show("Nothing was saved: " + ClipboardHeldText() + ".", MessageKind::Warning,
                      MessageButtons::Ok);
        return std::nullopt;
    }
    if (snapshot.clipboard.outcome == ReadOutcome::Failed) {
        messages.Show("Nothing was saved: the clipboard could not be read: " +
                          snapshot.clipboard.failure + ".",
                      MessageKind::Warning, MessageButtons::Ok);
        return std::nullopt;
    }
    if (snapshot.formats.empty()) {
        messages.Show("Nothing was saved: the clipboard holds no formats.",
                      MessageKind::Information, MessageButtons::Ok);
        return std::nullopt;
    }
    const auto parent = settings.pickFolder(window);
    if (!parent) return std::nullopt;
    const MadeFolder folder = MakeSnapshotFolder(*parent, settings.now());
    if (!folder.failure.empty()) {
        messages.Show("Nothing was saved: the folder \"" + folder.path +
                          "\" could not be made: " + folder.failure,
                      MessageKind::Error, MessageButtons::Ok);
        return std::nullopt;
    }
    const Written written =
        WriteFormats(folder.path, snapshot.formats, messages, window, settings.progressAfterMs);
    const std::string index = IndexText(snapshot.formats, written.fates);
    if (const auto failure =
            WriteFileDurably(Joined(folder.path, kIndexFileName), {BytesOf(index)})) {
        messages.Show(std::to_string(written.saved) + " of the " +
                          std::to_string(snapshot.formats.size()) + " formats were saved in \"" +
                          folder.path + "\", but not their index. " + *failure,
                      MessageKind::Error, MessageButtons::Ok);
        return folder.path;
    }
    const SaveAllReport report =
        SavedReport(folder.path, written.saved, snapshot.formats.size(), written.stopped);
    messages.Show(report.text, report.kind, MessageButtons::Ok);
    return folder.path;
}

}  // namespace norvane
