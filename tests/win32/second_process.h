// Starts a helper process that signals NAME.ready once set up and ends it on
// scope exit: this test program again in a helper role, or clipboard_helper.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

namespace norvane::testing {

class SecondProcess {
  public:
    // Runs "<this program> --ROLE ARGUMENT NAME".
    SecondProcess(const std::string& role, const std::string& argument)
        : SecondProcess(ThisProgram(), [&](const std::string& name) {
              return "--" + role + " \"" + argument + "\" " + name;
          }) {}

    // Runs PROGRAM with the arguments made from NAME and waits for NAME.ready.
    // NAME.release and NAME.quit are set when the object goes. The program's
    // path is UTF-8: a name outside the ANSI code page is started as it is.
    SecondProcess(const std::string& program,
                  const std::function<std::string(const std::string& name)>& arguments) {
        static int counter = 0;
        name_.append("norvane-test-")
            .append(std::to_string(GetCurrentProcessId()))
            .append("-")
            .append(std::to_string(++counter));
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (name_ + ".ready").c_str());
        release_ = CreateEventA(nullptr, TRUE, FALSE, (name_ + ".release").c_str());
        quit_ = CreateEventA(nullptr, TRUE, FALSE, (name_ + ".quit").c_str());
        std::wstring command = Wide("\"" + program + "\" " + arguments(name_));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(Wide(program).c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process_))
            throw std::runtime_error("cannot start " + program);
        const HANDLE waits[2] = {ready, process_.hProcess};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 15000);
        CloseHandle(ready);
        if (woke != WAIT_OBJECT_0) throw std::runtime_error(program + " did not get ready");
    }
    // Signals NAME.quit now; the end of the scope waits for the process.
    void SignalQuit() { SetEvent(quit_); }
    // Sets the event NAME + SUFFIX, which the process waits on.
    void Signal(const std::string& suffix) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, (name_ + suffix).c_str());
        SetEvent(event);
        CloseHandle(event);
    }
    DWORD Id() const { return process_.dwProcessId; }
    ~SecondProcess() {
        SetEvent(release_);
        SetEvent(quit_);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        for (HANDLE h : {process_.hProcess, process_.hThread, release_, quit_}) CloseHandle(h);
    }
    SecondProcess(const SecondProcess&) = delete;
    SecondProcess& operator=(const SecondProcess&) = delete;

    // clipboard_helper.exe (NORVANE_HELPER) as Wine names it.
    static std::string ClipboardHelperProgram() {
        const char* helper = std::getenv("NORVANE_HELPER");
        if (!helper) throw std::runtime_error("NORVANE_HELPER is not set");
        std::string path = helper;
        if (path.front() == '/') path = "Z:" + path;  // a Unix path as Wine sees it
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    static std::wstring Wide(const std::string& utf8) {
        std::wstring wide(utf8.size() + 1, L'\0');
        wide.resize(
            static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(),
                                                         static_cast<int>(wide.size())) -
                                     1));
        return wide;
    }

    static std::string ThisProgram() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        return self;
    }

  private:
    std::string name_;
    HANDLE release_ = nullptr, quit_ = nullptr;
    PROCESS_INFORMATION process_{};
};

// Runs "<this program> ARGUMENTS" to its end, its output in this one's
// console: false when it could not start or had not ended within `limitMs`
// (when it is ended).
inline bool RunThisProgram(const std::string& arguments, DWORD& exitCode, DWORD limitMs = 300000) {
    const std::string program = SecondProcess::ThisProgram();
    std::string command = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return ended;
}

// clipboard_helper.exe in one of its modes, owning the clipboard's data until
// the object goes.
class ClipboardHelper : public SecondProcess {
  public:
    ClipboardHelper(const std::string& mode, const std::string& argument)
        : SecondProcess(ClipboardHelperProgram(), [&](const std::string& name) {
              return mode + " " + name + " \"" + argument + "\"";
          }) {}
};

}  // namespace norvane::testing
