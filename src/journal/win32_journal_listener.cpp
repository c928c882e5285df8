#include "journal/win32_journal_listener.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

#include "clipboard/standard_formats.h"
#include "journal/journal_formats.h"
#include "util/paths.h"

namespace norvane {

namespace {

constexpr char kListenerClass[] = "TClipboard_Journal_Listener";
constexpr char kHandOverClass[] = "TClipboard_Journal_Handover";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kHandOverMessage = WM_APP + 1;

// The local time at `tick`, a moment ago.
JournalTime TimeAt(JournalTick tick) {
    const auto ago = static_cast<std::int32_t>(GetTickCount() - tick);
    return JournalNow() - std::max<std::int32_t>(ago, 0);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

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

// Hears the changes and runs the polls, on the listening thread.
class ClipboardJournalListener::ListenerWindow final : public Window {
  public:
    // On the thread that makes the listener: two listening threads starting
    // at once do not race to register it.
    static void Register() { RegisterClassOnce(kListenerClass, nullptr); }

    explicit ListenerWindow(ClipboardJournalListener& listener) : listener_(listener) {
        Create(kListenerClass, "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLIPBOARDUPDATE) {
            listener_.NoticesArrived();
            return 0;
        }
        if (message == WM_TIMER && wParam == kPollTimer) {
            listener_.Guarded([this] { listener_.PollHolder(); });
            return 0;
        }
        return Window::OnMessage(message, wParam, lParam);
    }

  private:
    ClipboardJournalListener& listener_;
};

// Brings what the listening thread saw to the journal, on the windows'
// thread, inside whatever message loop it runs (an error box's included).
class ClipboardJournalListener::HandOverWindow final : public Window {
  public:
    explicit HandOverWindow(ClipboardJournalListener& listener) : listener_(listener) {
        RegisterClassOnce(kHandOverClass, nullptr);
        Create(kHandOverClass, "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kHandOverMessage) return Window::OnMessage(message, wParam, lParam);
        listener_.TakeOver();
        return 0;
    }

  private:
    ClipboardJournalListener& listener_;
};

void ClipboardJournalListener::OwnOpens::Opened(WindowHandle window) noexcept {
    const std::lock_guard lock(lock_);
    open_ = true;
    window_ = window;
}

void ClipboardJournalListener::OwnOpens::Closed() noexcept {
    const std::lock_guard lock(lock_);
    open_ = false;
}

std::optional<HWND> ClipboardJournalListener::OwnOpens::Current() {
    const std::lock_guard lock(lock_);
    return open_ ? std::optional<HWND>(window_) : std::nullopt;
}

ClipboardJournalListener::ClipboardJournalListener(ClipboardJournal& journal,
                                                   ClipboardService& clipboard,
                                                   MessageDialog& messages, Handling handling)
    : journal_(journal),
      clipboard_(clipboard),
      messages_(messages),
      ownProgram_(FileNameOf(ExecutablePath())),
      handOver_(std::make_unique<HandOverWindow>(*this)),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      begin_(CreateEventA(nullptr, TRUE, handling == Handling::AtOnce, nullptr)) {
    if (!stop_ || !begin_) throw std::runtime_error("The clipboard journal could not be started");
    ListenerWindow::Register();
    std::promise<DWORD> started;
    std::future<DWORD> result = started.get_future();
    thread_ = std::thread([this, started = std::move(started)]() mutable { Run(started); });
    const DWORD error = result.get();
    if (listening_)
        clipboard_.ObserveOpens(&ownOpens_);
    else
        journal_.RecordListenerFailure(error);
}

ClipboardJournalListener::~ClipboardJournalListener() {
    clipboard_.ObserveOpens(nullptr);
    SetEvent(stop_.get());
    thread_.join();
}

// The listening thread: its window, its notices and its polls, until stopped.
void ClipboardJournalListener::Run(std::promise<DWORD>& started) {
    std::optional<ListenerWindow> window;
    try {
        window.emplace(*this);
    } catch (const std::exception&) {
        started.set_value(GetLastError());
        return;
    }
    const ClipboardListener listener(window->Handle());
    if (!listener.Listening() || !SetTimer(window->Handle(), kPollTimer, kPollMs, nullptr)) {
        started.set_value(GetLastError());
        return;
    }
    listening_ = window->Handle();
    started.set_value(ERROR_SUCCESS);

    // The clipboard as it is now, and a hold already under way from now on.
    Guarded([this] {
        ClipboardChange state = ReadClipboard(GetTickCount());
        state.atStartUp = true;
        HandOver(std::move(state));
    });
    Guarded([this] { PollHolder(); });

    const HANDLE beginOrStop[] = {begin_.get(), stop_.get()};
    HANDLE stop = stop_.get();
    if (WaitForMultipleObjects(2, beginOrStop, FALSE, INFINITE) == WAIT_OBJECT_0)
        while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
    KillTimer(window->Handle(), kPollTimer);
}

template <class Reading>
void ClipboardJournalListener::Guarded(Reading&& reading) {
    try {
        reading();
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("Unknown error");
    }
}

void ClipboardJournalListener::Report(const char* failure) noexcept {
    if (failurePending_.exchange(true)) return;
    try {
        HandOver(Failure{failure});
    } catch (...) {
        failurePending_ = false;  // not handed over: the next may be
    }
}

void ClipboardJournalListener::NoticesArrived() {
    // Notices already waiting are of changes that this reading comes too
    // late to see: they count with it, and it takes the time of the last.
    ++unanswered_;
    lastNotice_ = static_cast<JournalTick>(GetMessageTime());
    MSG waiting;
    while (PeekMessageA(&waiting, listening_, WM_CLIPBOARDUPDATE, WM_CLIPBOARDUPDATE, PM_REMOVE)) {
        ++unanswered_;
        lastNotice_ = waiting.time;
    }
    Guarded([this] {
        if (!ReadChange()) HandOver(Closed{lastNotice_});
    });
}

// A copy under way (the clipboard open again, or its number moving while it
// was read) shows only part of itself, no formats yet after its emptying:
// the reading then waits for its close, whose notice must follow, or for a
// poll that finds the clipboard closed. False when it waits.
bool ClipboardJournalListener::ReadChange() {
    ClipboardChange change = ReadClipboard(lastNotice_);
    if (ownOpens_.Current() || clipboard_.OpenClipboardWindow() ||
        clipboard_.SequenceNumber() != change.sequence)
        return false;
    change.notices = std::exchange(unanswered_, 0);
    HandOver(std::move(change));
    return true;
}

ClipboardChange ClipboardJournalListener::ReadClipboard(JournalTick tick) {
    ClipboardChange change;
    change.tick = tick;
    change.time = TimeAt(tick);
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
    return change;
}

void ClipboardJournalListener::PollHolder() {
    HolderSample sample;
    sample.tick = GetTickCount();
    if (const auto own = ownOpens_.Current()) {
        sample.open = true;
        sample.holder =
            *own ? WindowOf(*own) : JournalWindow{{}, ownProgram_, GetCurrentProcessId(), false};
        holder_ = nullptr;
    } else if (HWND holder = clipboard_.OpenClipboardWindow()) {
        // A long hold's window is looked up once.
        if (holder != holder_) holderWindow_ = WindowOf(holder);
        holder_ = holder;
        sample.open = true;
        sample.holder = holderWindow_;
    } else {
        // A program that opened the clipboard without a window holds it as
        // unseen as nobody: GetOpenClipboardWindow answers null for both.
        holder_ = nullptr;
        if (unanswered_ > 0) ReadChange();  // a reading that waited for the close
    }
    // Idle, a poll costs these questions.
    if (!sample.open && !holding_) return;
    holding_ = sample.open;
    sample.time = TimeAt(sample.tick);
    HandOver(std::move(sample));
}

JournalWindow ClipboardJournalListener::WindowOf(HWND window) {
    const OwnerProgram program = clipboard_.ProgramOfUtf8(window);
    return {clipboard_.WindowClassNameUtf8(window), program.fileName,
            static_cast<std::uint32_t>(program.processId)};
}

void ClipboardJournalListener::HandOver(Seen seen) {
    const std::lock_guard lock(queueLock_);
    queue_.push_back(std::move(seen));
    // Posted once until taken over; a post refused (a full queue) is tried
    // again with the next.
    if (!handOverPosted_)
        handOverPosted_ = PostMessageA(handOver_->Handle(), kHandOverMessage, 0, 0) != 0;
}

// On the windows' thread: everything seen since the last time, in order.
// Nothing shows a box until all of it is recorded: a box's message loop
// takes over what comes meanwhile, which is newer.
void ClipboardJournalListener::TakeOver() {
    std::vector<Seen> taken;
    {
        const std::lock_guard lock(queueLock_);
        taken.swap(queue_);
        handOverPosted_ = false;
    }
    std::optional<std::string> failure, recordFailure;
    for (Seen& seen : taken) {
        try {
            std::visit(
                Overloaded{[&](const ClipboardChange& change) { journal_.RecordChange(change); },
                           [&](const HolderSample& sample) { journal_.RecordHolder(sample); },
                           [&](const Closed& closed) { journal_.RecordClose(closed.tick); },
                           [&](Failure& shown) { failure = std::move(shown.text); }},
                seen);
        } catch (const std::exception& e) {
            if (!recordFailure) recordFailure = e.what();
        } catch (...) {
            if (!recordFailure) recordFailure = "Unknown error";
        }
    }
    if (recordFailure) messages_.ShowError(*recordFailure);
    if (failure) {
        messages_.ShowError(*failure);
        failurePending_ = false;
    }
}

}  // namespace norvane
