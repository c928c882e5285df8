#include "journal/win32_journal_listener.h"

#include <algorithm>
#include <utility>

#include "clipboard/standard_formats.h"
#include "journal/journal_formats.h"
#include "ui/guard.h"
#include "util/flag_scope.h"

namespace norvane {

namespace {

constexpr char kClassName[] = "TClipboard_Journal_Listener";
constexpr UINT_PTR kPollTimer = 1;

}  // namespace

JournalTime JournalNow() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    if (!FileTimeToLocalFileTime(&utc, &local)) local = utc;
    ULARGE_INTEGER ticks;
    ticks.LowPart = local.dwLowDateTime;
    ticks.HighPart = local.dwHighDateTime;
    return static_cast<JournalTime>(ticks.QuadPart / 10'000);
}

ClipboardJournalListener::ClipboardJournalListener(ClipboardJournal& journal,
                                                   ClipboardService& clipboard,
                                                   MessageDialog& messages)
    : journal_(journal), clipboard_(clipboard), messages_(messages) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    listener_.emplace(Handle());
    SetTimer(Handle(), kPollTimer, kPollMs, nullptr);
}

ClipboardJournalListener::~ClipboardJournalListener() {
    if (Handle()) KillTimer(Handle(), kPollTimer);
}

LRESULT ClipboardJournalListener::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLIPBOARDUPDATE) {
        if (reporting_)
            ++skippedNotices_;
        else
            Guarded([this] { ReadChange(); });
        return 0;
    }
    if (message == WM_TIMER && wParam == kPollTimer) {
        if (!reporting_) Guarded([this] { PollHolder(); });
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

template <class Handler>
void ClipboardJournalListener::Guarded(Handler&& handler) {
    const FlagScope reporting(reporting_);
    RunGuarded(messages_, std::forward<Handler>(handler));
}

void ClipboardJournalListener::ReadChange() {
    ClipboardChange change;
    change.notices += skippedNotices_;
    // Change notifications already waiting are of changes that this look
    // comes too late to see: they count with it.
    MSG waiting;
    while (PeekMessageA(&waiting, Handle(), WM_CLIPBOARDUPDATE, WM_CLIPBOARDUPDATE, PM_REMOVE))
        ++change.notices;
    change.time = JournalNow();
    change.tick = GetTickCount();
    change.sequence = clipboard_.SequenceNumber();
    if (HWND owner = clipboard_.Owner()) change.owner = WindowOf(owner);
    change.formats = static_cast<std::uint32_t>(std::max(clipboard_.CountFormats(), 0));
    if (const auto formats = clipboard_.UpdatedFormats())
        change.formatNames = JournalFormatNames(clipboard_, *formats);
    change.text = clipboard_.IsFormatAvailable(kTextFormat) ||
                  clipboard_.IsFormatAvailable(kUnicodeTextFormat) ||
                  clipboard_.IsFormatAvailable(kOemTextFormat);
    change.picture = clipboard_.IsFormatAvailable(kBitmapFormat) ||
                     clipboard_.IsFormatAvailable(kDibFormat) ||
                     clipboard_.IsFormatAvailable(kDibV5Format) ||
                     clipboard_.IsFormatAvailable(kEnhMetafileFormat) ||
                     clipboard_.IsFormatAvailable(kMetafilePictureFormat);
    journal_.RecordChange(change);
    skippedNotices_ = 0;
}

// A program that opened the clipboard without a window holds it as unseen
// as nobody: GetOpenClipboardWindow answers null for both.
void ClipboardJournalListener::PollHolder() {
    HWND holder = clipboard_.OpenClipboardWindow();
    // Idle, a poll costs this one question.
    if (!holder && !holder_) return;
    HolderSample sample;
    sample.time = JournalNow();
    sample.tick = GetTickCount();
    sample.open = holder != nullptr;
    if (holder && holder != holder_) holderWindow_ = WindowOf(holder);
    holder_ = holder;
    if (holder) sample.holder = holderWindow_;
    journal_.RecordHolder(sample);
}

JournalWindow ClipboardJournalListener::WindowOf(HWND window) {
    const OwnerProgram program = clipboard_.ProgramOfUtf8(window);
    return {clipboard_.WindowClassNameUtf8(window), program.fileName,
            static_cast<std::uint32_t>(program.processId)};
}

}  // namespace norvane
