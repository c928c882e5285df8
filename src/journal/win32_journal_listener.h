// The journal's listener: a message-only window on a thread of its own that
// hears every change of the clipboard and polls who holds it open, however
// busy the program's windows are, and hands what it saw to the journal; all
// without opening the clipboard (it never holds it, never makes an owner
// render delayed data, never makes another program's copy fail).
//
// Threads. The listening thread owns its window, its poll timer and the
// state of its readings (notices not yet answered, the holder last looked
// up). The thread that makes the listener, the windows' thread, owns the
// journal (and so its window) and a hand-over window through which what
// the listening thread saw reaches the journal, in the order seen. The two
// share only the queue of what was seen and this program's own open of the
// clipboard (told by the clipboard service), each under its lock.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "clipboard/clipboard_service.h"
#include "journal/clipboard_journal.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

// The local time now, as the journal shows it.
JournalTime JournalNow();

class ClipboardJournalListener final {
  public:
    static constexpr UINT kPollMs = 100;

    // When the listening thread starts handling the notices it hears.
    enum class Handling {
        AtOnce,
        // Once `Begin` is called. A thread that waits on its message queue
        // counts as the program waiting for input (a launcher's
        // WaitForInputIdle returns): the program's start-up keeps its
        // listening thread off its queue until the main window is ready.
        // The notices wait meanwhile with the times they were posted.
        WhenBegun,
    };

    // Starts listening before it returns, and reads the clipboard as it is
    // then; a system that refuses leaves the journal told why.
    ClipboardJournalListener(ClipboardJournal& journal, ClipboardService& clipboard,
                             MessageDialog& messages, Handling handling = Handling::AtOnce);
    // Lets a listener made `WhenBegun` handle its notices.
    void Begin() { SetEvent(begin_.get()); }
    // Stops the listening thread and waits for it.
    ~ClipboardJournalListener();
    ClipboardJournalListener(const ClipboardJournalListener&) = delete;
    ClipboardJournalListener& operator=(const ClipboardJournalListener&) = delete;

    // False when the system refused to send the changes or the polls.
    bool Listening() const { return listening_ != nullptr; }
    // The window that hears the changes (on the listening thread); null
    // when not listening.
    HWND ListeningWindow() const { return listening_; }

  private:
    // A change notice whose reading waits for the clipboard to be closed.
    struct Closed {
        JournalTick tick;
    };
    // A failure of the listening thread, shown on the windows' thread.
    struct Failure {
        std::string text;
    };
    using Seen = std::variant<ClipboardChange, HolderSample, Closed, Failure>;

    // This program's own open of the clipboard: told by the service on the
    // thread that opens it, asked by the polls.
    class OwnOpens final : public ClipboardOpenObserver {
      public:
        void Opened(WindowHandle window) noexcept override;
        void Closed() noexcept override;
        // The window it was opened with (null: none), or nothing when closed.
        std::optional<HWND> Current();

      private:
        std::mutex lock_;
        bool open_ = false;
        HWND window_ = nullptr;
    };
    class ListenerWindow;
    class HandOverWindow;

    // The listening thread.
    void Run(std::promise<DWORD>& started);
    void Report(const char* failure) noexcept;
    template <class Reading>
    void Guarded(Reading&& reading);
    void NoticesArrived();
    bool ReadChange();
    ClipboardChange ReadClipboard(JournalTick tick);
    void PollHolder();
    std::optional<JournalWindow> HolderNow();
    JournalWindow WindowOf(HWND window);
    void HandOver(Seen seen);

    // The windows' thread.
    void TakeOver();

    ClipboardJournal& journal_;
    ClipboardService& clipboard_;
    MessageDialog& messages_;
    OwnOpens ownOpens_;
    const std::string ownProgram_;

    std::mutex queueLock_;
    std::vector<Seen> queue_;
    bool handOverPosted_ = false;
    // A failure handed over and not yet shown: the next ones are dropped,
    // so that a failure that repeats shows one box at a time.
    std::atomic<bool> failurePending_{false};

    // The listening thread's alone.
    std::uint32_t unanswered_ = 0;  // notices no reading has answered yet
    JournalTick lastNotice_ = 0;    // when the last of them was posted
    bool holding_ = false;          // the poll before found the clipboard held
    HWND holder_ = nullptr;         // the window it found, looked up once
    JournalWindow holderWindow_;

    std::unique_ptr<HandOverWindow> handOver_;
    UniqueKernelHandle stop_;
    UniqueKernelHandle begin_;
    std::thread thread_;
    HWND listening_ = nullptr;  // set by the listening thread before it says it started
};

}  // namespace norvane
