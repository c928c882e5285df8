// Start-up time under Wine (or Windows): from CreateProcess to the first
// visible top-level window of the new process, for norvanel.exe and for the
// system's own notepad.exe, started alternately so that a busy spell of a
// shared machine falls on both alike. Prints each one's median (with the
// fastest and slowest start) and the ratio of the medians.
// Build: cmake --build --preset win32 --target startup_bench; run it with
// wine, optionally with the number of starts of each and the path of the
// program (default: norvanel.exe beside the benchmark).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Milliseconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Search {
    DWORD process;
    bool found = false;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window)) return TRUE;
    search.found = true;
    return FALSE;
}

// Milliseconds until the program shows its first window; negative when it
// shows none within ten seconds. The program is ended afterwards.
double TimeToFirstWindow(const std::string& commandLine, const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    const double began = Milliseconds();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return -1;
    Search search{process.dwProcessId};
    double shown = -1;
    while (Milliseconds() - began < 10000) {
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            shown = Milliseconds() - began;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown;
}

struct Program {
    const char* name;
    std::string commandLine;
    std::string folder;
    std::vector<double> times;
    int failures = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of("\\/"));
}

}  // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 15;
    std::string norvanel;
    if (argc > 2) {
        norvanel = argv[2];
    } else {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        norvanel = FolderOf(self) + "\\norvanel.exe";
    }
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string notepad = std::string(system) + "\\notepad.exe";

    std::vector<Program> programs{
        {"norvanel.exe", "\"" + norvanel + "\"", FolderOf(norvanel), {}},
        {"notepad.exe", "\"" + notepad + "\"", system, {}},
    };
    // One start of each first, not counted: the files come into the cache.
    for (Program& p : programs) TimeToFirstWindow(p.commandLine, p.folder);
    for (int i = 0; i < starts; ++i)
        for (Program& p : programs) {
            const double t = TimeToFirstWindow(p.commandLine, p.folder);
            if (t < 0)
                ++p.failures;
            else
                p.times.push_back(t);
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
        std::printf(")\n");
    }
    std::printf("ratio of the medians: %.2f\n",
                Median(programs[0].times) / Median(programs[1].times));
    return 0;
}
