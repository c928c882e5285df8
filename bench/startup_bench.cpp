// Start-up time under Wine (or Windows): from CreateProcess to the first
// visible top-level window of the new process, for norvanel.exe and for the
// system's own notepad.exe, started alternately so that a busy spell of a
// shared machine falls on both alike. Prints each one's median (with the
// fastest and slowest start) and the ratio of the medians, and also the
// median time to each one's first window made (hidden) and to the first
// answer of its window to a message sent to it (its message loop runs).
//
// Then where the time goes: in turn with the others, it starts
// startup_steps.exe (beside it), which goes through the entry point's steps
// one by one from a cold start and times each; medians of the starts.
// Build: cmake --build --preset win32 --target startup_bench; run it with
// wine, optionally with the number of starts of each and the path of the
// program (default: norvanel.exe beside the benchmark).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "win32_bench_support.h"

namespace {

double Milliseconds() {
    return norvane::bench::Seconds() * 1000;
}

struct Search {
    DWORD process;
    bool visibleOnly;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || (search.visibleOnly && !IsWindowVisible(window))) return TRUE;
    search.found = window;
    return FALSE;
}

struct Start {
    double made = -1;      // first top-level window made, shown or not
    double shown = -1;     // first visible top-level window
    double answered = -1;  // that window's first answer to a message sent to it
};

// Milliseconds until the program makes its first window, shows one and
// answers a message sent to it (its message loop runs); negative when it
// shows none within ten seconds. The program is ended afterwards.
Start TimeToFirstWindow(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    Start start;
    const double began = Milliseconds();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return start;
    while (Milliseconds() - began < 10000) {
        if (start.made < 0) {
            Search any{process.dwProcessId, false};
            EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&any));
            if (any.found) start.made = Milliseconds() - began;
        }
        Search visible{process.dwProcessId, true};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&visible));
        if (visible.found) {
            start.shown = Milliseconds() - began;
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutA(visible.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
                start.answered = Milliseconds() - began;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return start;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of("\\/"));
}

// Runs the steps in a process of their own; the lines it prints.
std::string RunStepsProcess(const std::string& self) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return {};
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string line = "\"" + self + "\"";
    const BOOL made = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     FolderOf(self).c_str(), &startup, &process);
    CloseHandle(write);
    std::string output;
    if (made) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read);
    return output;
}

struct StepTimes {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;

    void Add(const std::string& output) {
        std::size_t at = 0;
        while (at < output.size()) {
            std::size_t end = output.find('\n', at);
            if (end == std::string::npos) end = output.size();
            const std::string line = output.substr(at, end - at);
            at = end + 1;
            const std::size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            const std::string name = line.substr(0, tab);
            if (!times.contains(name)) order.push_back(name);
            times[name].push_back(std::atof(line.c_str() + tab + 1));
        }
    }

    void Print() const {
        if (order.empty()) return;
        std::printf("where the time goes (a fresh process each time; medians of %zu):\n",
                    times.begin()->second.size());
        double total = 0;
        for (const std::string& name : order) {
            const double m = Median(times.at(name));
            total += m;
            std::printf("  %7.2f ms  %s\n", m, name.c_str());
            if (name.starts_with("first paint"))
                std::printf("  %7.2f ms  to the first paint\n", total);
        }
        std::printf("  %7.2f ms  in all\n", total);
    }
};

struct Program {
    const char* name;
    std::string commandLine;
    std::string folder;
    std::vector<double> times;
    std::vector<double> made;
    std::vector<double> answered;
    int failures = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 15;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string norvanel = argc > 2 ? argv[2] : FolderOf(self) + "\\norvanel.exe";
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string notepad = std::string(system) + "\\notepad.exe";

    std::vector<Program> programs{
        {"norvanel.exe", "\"" + norvanel + "\"", FolderOf(norvanel), {}, {}, {}},
        {"notepad.exe", "\"" + notepad + "\"", system, {}, {}, {}},
    };
    StepTimes steps;
    // One start of each first, not counted: the files come into the cache.
    for (Program& p : programs) TimeToFirstWindow(p.commandLine, p.folder);
    const std::string stepsProgram = FolderOf(self) + "\\startup_steps.exe";
    RunStepsProcess(stepsProgram);
    for (int i = 0; i < starts; ++i) {
        for (Program& p : programs) {
            const Start t = TimeToFirstWindow(p.commandLine, p.folder);
            if (t.shown < 0) {
                ++p.failures;
            } else {
                p.times.push_back(t.shown);
                p.made.push_back(t.made);
                if (t.answered >= 0) p.answered.push_back(t.answered);
            }
            Sleep(100);
        }
        steps.Add(RunStepsProcess(stepsProgram));
        Sleep(100);
    }

    for (const Program& p : programs) {
        if (p.times.empty()) {
            std::printf("%-13s no window in %d starts\n", p.name, starts);
            return 1;
        }
        std::printf("%-13s median %6.1f ms  (fastest %6.1f, slowest %6.1f, %zu starts", p.name,
                    Median(p.times), *std::min_element(p.times.begin(), p.times.end()),
                    *std::max_element(p.times.begin(), p.times.end()), p.times.size());
        if (p.failures) std::printf(", %d without a window", p.failures);
        std::printf("); first window made (hidden) %6.1f ms, first answer %6.1f ms\n",
                    Median(p.made), Median(p.answered));
    }
    std::printf("ratio of the medians: %.2f\n",
                Median(programs[0].times) / Median(programs[1].times));
    steps.Print();
    return 0;
}
