// The clipboard journal's cost under Wine (or Windows): the processor time of
// the listening process per hour of an idle clipboard (measured over a spell
// of idle seconds and scaled, beside the same spell without the listener),
// per 1,000 changes made by another process as fast as it can and 5 ms
// apart, and the
// program's start-up (its four windows made as the entry point makes them)
// with and without the journal and its listener, alternately.
// Build: cmake --build --preset win32 --target journal_bench; run it with
// wine: journal_bench.exe [idle seconds, 60] [bursts, 3] [starts, 15]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
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
#include "reader/win32_reader_role.h"
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

// Under Wine the clipboard's calls are answered by the wineserver, whose
// processor time is the larger part: read from Linux's /proc through Wine's
// drive Z:, for the wineserver of this prefix. Empty elsewhere.
std::string ServerStatFile() {
    char prefix[1024] = {};
    if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return {};
    const std::string wanted = std::string("WINEPREFIX=") + prefix;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string stat;
    do {
        const std::string folder = std::string("Z:\\proc\\") + found.cFileName;
        if (!std::isdigit(static_cast<unsigned char>(found.cFileName[0]))) continue;
        FILE* comm = std::fopen((folder + "\\comm").c_str(), "rb");
        if (!comm) continue;
        char name[64] = {};
        std::fread(name, 1, sizeof name - 1, comm);
        std::fclose(comm);
        if (std::strncmp(name, "wineserver", 10) != 0) continue;
        FILE* environment = std::fopen((folder + "\\environ").c_str(), "rb");
        if (!environment) continue;
        std::string variables;
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, environment)) > 0;)
            variables.append(chunk, got);
        std::fclose(environment);
        if (variables.find(wanted + '\0') != std::string::npos) stat = folder + "\\stat";
    } while (stat.empty() && FindNextFileA(search, &found));
    FindClose(search);
    return stat;
}

// The wineserver's processor time so far in seconds; 0 where there is none.
double ServerSeconds() {
    static const std::string file = ServerStatFile();
    if (file.empty()) return 0;
    FILE* stat = std::fopen(file.c_str(), "rb");
    if (!stat) return 0;
    char line[1024] = {};
    std::fread(line, 1, sizeof line - 1, stat);
    std::fclose(stat);
    // After the name in parentheses: state, then 10 fields before utime, stime.
    const char* field = std::strrchr(line, ')');
    if (!field) return 0;
    unsigned long long user = 0, system = 0;
    if (std::sscanf(field + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                    &system) != 2)
        return 0;
    return static_cast<double>(user + system) / 100;  // clock ticks of 10 ms
}

// Runs this thread's messages as the program's loop does, until `done` or
// `limit` seconds; it wakes for messages only, as the program does.
template <class Done>
void RunMessagesUntil(Done done, double limit) {
    const double end = Seconds() + limit;
    for (double now = Seconds(); !done() && now < end; now = Seconds()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((end - now) * 1000) + 1,
                                  QS_ALLINPUT);
        norvane::ProcessPendingMessages();
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Spent {
    double process = 0, server = 0;
};

Spent IdleProcessorSeconds(double seconds) {
    const double before = ProcessorSeconds(), serverBefore = ServerSeconds();
    RunMessagesUntil([] { return false; }, seconds);
    return {std::max(ProcessorSeconds() - before, 0.0), ServerSeconds() - serverBefore};
}

void Idle(double seconds) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    const Spent without = IdleProcessorSeconds(seconds);
    norvane::ClipboardJournal journal;
    norvane::ClipboardJournalListener listener(journal, clipboard, messages);
    RunMessagesUntil([] { return false; }, 1);
    const Spent with = IdleProcessorSeconds(seconds);
    const double perHour = 3600 / seconds;
    std::printf(
        "idle, processor time per hour: %.2f s with the listener, %.2f s without;"
        " the wineserver's %.2f s with, %.2f s without (over %.0f s each)\n",
        with.process * perHour, without.process * perHour, with.server * perHour,
        without.server * perHour, seconds);
}

// One burst of the helper's changes (`pace`: its "changes" argument, the
// count and the pause after each), with or without the listener: the
// processor time spent meanwhile, here and in the wineserver.
Spent Burst(const char* pace, bool listening, std::size_t& seen) {
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::ClipboardJournal journal;
    std::optional<norvane::ClipboardJournalListener> listener;
    if (listening) listener.emplace(journal, clipboard, messages);
    const DWORD sequence = GetClipboardSequenceNumber();
    const double before = ProcessorSeconds(), serverBefore = ServerSeconds();
    norvane::testing::ClipboardHelper helper("changes", pace);
    const auto counted = [&] {
        std::uint32_t changes = 0;
        for (std::size_t i = 0; i < journal.Size(); ++i)
            if (journal.Newest(i).processId == helper.Id() &&
                journal.Newest(i).event != norvane::JournalEvent::Held)
                changes += 1 + journal.Newest(i).missed;
        return changes;
    };
    // Without the listener: until the number has moved as a thousand copies
    // of text move it (4 each: empty, text, and 2 as the clipboard closes).
    RunMessagesUntil(
        [&] {
            return listening ? counted() >= 1000 : GetClipboardSequenceNumber() - sequence >= 4000;
        },
        120);
    const Spent spent{std::max(ProcessorSeconds() - before, 0.0), ServerSeconds() - serverBefore};
    if (listening) {
        seen += journal.Size();
        if (counted() != 1000) std::printf("%u changes counted of 1000\n", counted());
    }
    return spent;
}

void Changes(int bursts, const char* pace) {
    if (bursts <= 0) return;
    std::vector<double> process, server, serverWithout;
    std::size_t seen = 0, none = 0;
    for (int burst = 0; burst < bursts; ++burst) {
        const Spent without = Burst(pace, false, none);
        const Spent with = Burst(pace, true, seen);
        process.push_back(with.process - without.process);
        server.push_back(with.server);
        serverWithout.push_back(without.server);
    }
    std::printf(
        "1,000 changes (helper's \"%s\"): %.0f ms processor time more with the"
        " listener; the wineserver's %.0f ms with, %.0f ms without (medians of %d);"
        " %.0f changes read one by one on average\n",
        pace, Median(process) * 1000, Median(server) * 1000, Median(serverWithout) * 1000, bursts,
        static_cast<double>(seen) / bursts);
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
    if (starts <= 0) return;
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
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 60;
    const int bursts = argc > 2 ? std::atoi(argv[2]) : 3;
    const int starts = argc > 3 ? std::atoi(argv[3]) : 15;
    if (!std::getenv("NORVANE_HELPER")) _putenv("NORVANE_HELPER=" NORVANE_HELPER_PATH);
    {
        norvane::ClipboardJournal full;
        for (std::uint32_t n = 0; n < norvane::ClipboardJournal::kCapacity; ++n)
            full.RecordChange({.time = n * 100LL,
                               .tick = n * 100,
                               .sequence = n * 5,
                               .owner = norvane::JournalWindow{"Notepad", "notepad.exe", 4},
                               .formats = 4,
                               .text = true});
        std::printf("a full ring of %zu entries: %zu bytes\n", full.Size(), full.MemoryUsed());
    }
    StartUps(starts);
    Changes(bursts, "1000");
    Changes(bursts, "1000 5");
    Idle(idleSeconds);
    return 0;
}
