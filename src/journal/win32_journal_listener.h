// The journal's listener: a message-only window that hears every change of
// the clipboard and polls who holds it open, and tells the journal, all
// without opening the clipboard (it never holds it, never makes an owner
// render delayed data, never makes another program's copy fail).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "clipboard/clipboard_service.h"
#include "journal/clipboard_journal.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

// The local time now, as the journal shows it.
JournalTime JournalNow();

class ClipboardJournalListener final : public Window {
  public:
    static constexpr UINT kPollMs = 100;

    ClipboardJournalListener(ClipboardJournal& journal, ClipboardService& clipboard,
                             MessageDialog& messages);
    ~ClipboardJournalListener() override;

    // False when the system refused to send this window the changes.
    bool Listening() const { return listener_ && listener_->Listening(); }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The error box's message loop goes on delivering change notifications
    // and ticks: while it shows a failure of ours, they are not handled, so
    // that a handler that keeps failing does not open box over box.
    template <class Handler>
    void Guarded(Handler&& handler);
    void ReadChange();
    void PollHolder();
    JournalWindow WindowOf(HWND window);

    ClipboardJournal& journal_;
    ClipboardService& clipboard_;
    MessageDialog& messages_;
    bool reporting_ = false;
    // Change notifications that came while a box was up: they count with the
    // next time the clipboard is read.
    std::uint32_t skippedNotices_ = 0;
    std::optional<ClipboardListener> listener_;
    // The holder found by the poll before, so that a long hold is looked up once.
    HWND holder_ = nullptr;
    JournalWindow holderWindow_;
};

}  // namespace norvane
