// The clipboard journal's cost under Wine (or Windows): the processor time of
// the listening process per hour of an idle clipboard (measured over a spell
// of idle seconds and scaled, beside the same spell without the listener),
// per 1,000 changes made by another process as fast as it can, and the
// program's start-up (its four windows made as the entry point makes them)
// with and without the journal and its listener, alternately.
// Build: cmake --build --preset win32 --target journal_bench; run it with
// wine: journal_bench.exe [idle seconds, 60] [bursts, 3] [starts, 15]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "about/win32_about_box.h"
#include "app/win32_main_form.h"
#include "app/win32_registry_store.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "inspector/win32_inspector_line_actions.h"
#include "journal/clipboard_journal.h"
#include "journal/win32_journal_listener.h"
#include "ui/application.h"
#include "win32/second_process.h"
#include "win32_bench_support.h"

namespace {

using norvane::bench::NoMessages;
using norvane::bench::Seconds;

// Processor time of this process so far, user and kernel, in seconds.
double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        ULARGE_INTEGER ticks;
        ticks.LowPart = time.dwLowDateTime;
        ticks.HighPart = time.dwHighDateTime;
        return static_cast<double>(ticks.QuadPart) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Runs this thread's messages as the program's loop does, until `done` or
// `limit` seconds.
template <class Done>
void RunMessagesUntil(Done done, double limit) {
    const double end = Seconds() + limit;
    while (!done() && Seconds() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        norvane::ProcessPendingMessages();
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double IdleProcessorSeconds(double seconds) {
    const double before = ProcessorSeconds();
    RunMessagesUntil([] { return false; }, seconds);
    return std::max(ProcessorSeconds() - before, 0.0);
}

void Idle(double seconds) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    const double without = IdleProcessorSeconds(seconds);
    norvane::ClipboardJournal journal;
    norvane::ClipboardJournalListener listener(journal, clipboard, messages);
    RunMessagesUntil([] { return false; }, 1);
    const double with = IdleProcessorSeconds(seconds);
    const double perHour = 3600 / seconds;
    std::printf(
        "idle, processor time per hour: %.3f s with the listener, %.3f s without"
        " (measured over %.0f s each)\n",
        with * perHour, without * perHour, seconds);
}

void Changes(int bursts) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    std::vector<double> processor, wall;
    std::size_t seen = 0;
    for (int burst = 0; burst < bursts; ++burst) {
        norvane::ClipboardJournal journal;
        norvane::ClipboardJournalListener listener(journal, clipboard, messages);
        const double before = ProcessorSeconds();
        const double began = Seconds();
        norvane::testing::ClipboardHelper helper("changes", "1000");
        const auto counted = [&] {
            std::uint32_t changes = 0;
            for (std::size_t i = 0; i < journal.Size(); ++i)
                if (journal.Newest(i).processId == helper.Id() &&
                    journal.Newest(i).event != norvane::JournalEvent::Held)
                    changes += 1 + journal.Newest(i).missed;
            return changes;
        };
        RunMessagesUntil([&] { return counted() >= 1000; }, 120);
        processor.push_back(ProcessorSeconds() - before);
        wall.push_back(Seconds() - began);
        seen += journal.Size();
        if (counted() != 1000) std::printf("burst %d: %u changes counted\n", burst, counted());
    }
    std::printf(
        "1,000 changes: %.1f ms processor time (median of %d), %.0f ms from the"
        " helper's start to the last counted, %.0f changes read one by one on"
        " average\n",
        Median(processor) * 1000, bursts, Median(wall) * 1000, static_cast<double>(seen) / bursts);
}

// Makes the program's windows as the entry point does; milliseconds.
double StartUp(bool listening) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::Win32RegistryStore registry(HKEY_LOCAL_MACHINE);
    const double began = Seconds();
    norvane::ClipboardJournal journal;
    norvane::TMainForm1 main(messages, clipboard, registry);
    norvane::TAboutBox about(messages, main.Handle());
    norvane::TClipboard_Viewer_Form viewer(messages, clipboard, main.Handle());
    norvane::TClipboard_Formats_Form formats(messages, clipboard, main.Handle(),
                                             norvane::MakeInspectorLineActions);
    main.AttachDialogs(about, viewer, formats);
    std::optional<norvane::ClipboardJournalListener> listener;
    if (listening) listener.emplace(journal, clipboard, messages);
    const double made = Seconds();
    norvane::ProcessPendingMessages();
    return (made - began) * 1000;
}

void StartUps(int starts) {
    std::vector<double> with, without;
    StartUp(true);  // the first loads the libraries and fonts for both
    for (int start = 0; start < starts; ++start) {
        without.push_back(StartUp(false));
        with.push_back(StartUp(true));
    }
    std::printf(
        "start-up (windows made): %.2f ms with the journal, %.2f ms without"
        " (medians of %d)\n",
        Median(with), Median(without), starts);
    std::vector<double> listenerOnly;
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    for (int start = 0; start < 100; ++start) {
        const double began = Seconds();
        norvane::ClipboardJournal journal;
        norvane::ClipboardJournalListener listener(journal, clipboard, messages);
        listenerOnly.push_back((Seconds() - began) * 1000);
    }
    std::printf("the journal and its listener alone: %.3f ms (median of 100)\n",
                Median(listenerOnly));
}

}  // namespace

int main(int argc, char** argv) {
    const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 60;
    const int bursts = argc > 2 ? std::atoi(argv[2]) : 3;
    const int starts = argc > 3 ? std::atoi(argv[3]) : 15;
    if (!std::getenv("NORVANE_HELPER")) _putenv("NORVANE_HELPER=" NORVANE_HELPER_PATH);
    {
        norvane::ClipboardJournal full;
        for (std::uint32_t n = 0; n < norvane::ClipboardJournal::kCapacity; ++n)
            full.RecordChange({n * 100LL, n * 5,
                               norvane::JournalWindow{"Notepad", "notepad.exe", 4}, 4, true, false,
                               1});
        std::printf("a full ring of %zu entries: %zu bytes\n", full.Size(), full.MemoryUsed());
    }
    StartUps(starts);
    Changes(bursts);
    Idle(idleSeconds);
    return 0;
}
