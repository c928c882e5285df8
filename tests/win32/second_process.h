// Starts this test program again in a helper role and ends it on scope exit.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace norvane::testing {

class SecondProcess {
  public:
    // Runs "<this program> --ROLE ARGUMENT NAME" and waits for NAME.ready.
    SecondProcess(const std::string& role, const std::string& argument) {
        static int counter = 0;
        name_.append("norvane-test-")
            .append(std::to_string(GetCurrentProcessId()))
            .append("-")
            .append(std::to_string(++counter));
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (name_ + ".ready").c_str());
        quit_ = CreateEventA(nullptr, TRUE, FALSE, (name_ + ".quit").c_str());
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command;
        command.append("\"").append(self).append("\" --").append(role);
        command.append(" \"").append(argument).append("\" ").append(name_);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_))
            throw std::runtime_error("cannot start the second process");
        const HANDLE waits[2] = {ready, process_.hProcess};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 15000);
        CloseHandle(ready);
        if (woke != WAIT_OBJECT_0) throw std::runtime_error("the second process did not get ready");
    }
    // Signals NAME.quit now; the end of the scope waits for the process.
    void SignalQuit() { SetEvent(quit_); }
    ~SecondProcess() {
        SetEvent(quit_);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        CloseHandle(quit_);
    }
    SecondProcess(const SecondProcess&) = delete;
    SecondProcess& operator=(const SecondProcess&) = delete;

  private:
    std::string name_;
    HANDLE quit_ = nullptr;
    PROCESS_INFORMATION process_{};
};

}  // namespace norvane::testing
