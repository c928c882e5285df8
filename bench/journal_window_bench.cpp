// The clipboard journal's window under Wine with a full ring of 10,000
// entries: the time from opening it to its first paint, and the processor
// time of its thread while 1,000 changes come 2 ms apart, the window shown
// (its list following them) against hidden.
// Build: cmake --build --preset win32 --target journal_window_bench;
// run: wine build/win32/journal_window_bench.exe
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "journal/win32_journal_form.h"
#include "ui/application.h"
#include "win32_bench_support.h"

namespace {

using norvane::ClipboardJournal;

// The processor time of this thread, in seconds.
double ThreadSeconds() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return static_cast<double>(ULONGLONG{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void PumpFor(double seconds) {
    const double end = norvane::bench::Seconds() + seconds;
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        norvane::ProcessPendingMessages();
    } while (norvane::bench::Seconds() < end);
}

class Changes {
  public:
    explicit Changes(ClipboardJournal& journal) : journal_(journal) {}
    void Add() {
        journal_.RecordChange({.time = 13'000'000'000'000 + sequence_ * 2'000,
                               .tick = sequence_ * 2'000,
                               .sequence = sequence_,
                               .owner = norvane::JournalWindow{"Notepad", "notepad.exe", 42},
                               .formats = 3,
                               .text = true});
        ++sequence_;
    }
    // 1,000 changes about 2 ms apart (a program copying in a loop), the
    // program's messages handled between them, then until the window has
    // shown them; the thread's processor time in milliseconds.
    double Thousand() {
        const double start = ThreadSeconds();
        for (int i = 0; i < 1000; ++i) {
            Add();
            PumpFor(0.002);
        }
        PumpFor(0.2);
        return (ThreadSeconds() - start) * 1000;
    }

  private:
    ClipboardJournal& journal_;
    std::uint32_t sequence_ = 1;
};

}  // namespace

int main() {
    norvane::bench::NoMessages messages;
    ClipboardJournal journal;
    norvane::TClipboard_Journal_Form form(messages, journal, nullptr);
    Changes changes(journal);
    for (std::size_t i = 0; i < ClipboardJournal::kCapacity; ++i) changes.Add();

    const double before = norvane::bench::Seconds();
    form.Open();
    UpdateWindow(form.Handle());
    std::printf("open with %zu entries, to the first paint: %.1f ms\n", journal.Size(),
                (norvane::bench::Seconds() - before) * 1000);
    for (int round = 0; round < 3; ++round)
        std::printf("1000 changes, window shown: %.0f ms of processor time\n", changes.Thousand());
    form.Hide();
    for (int round = 0; round < 3; ++round)
        std::printf("1000 changes, window hidden: %.0f ms of processor time\n", changes.Thousand());
    return 0;
}
