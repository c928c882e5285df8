// The screen's resolution for the programs started from now on: Wine reads
// it (the value LogPixels of the user's desktop settings) when a process
// starts. The value the prefix had is put back when the object goes, also
// after a failure.
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>

namespace norvane::testing {

// The resolution this run of the test program was started for (--at-dpi);
// 0 for an ordinary run.
inline int& DpiOfThisRun() {
    static int dpi = 0;
    return dpi;
}

class ScreenDpiForNewProcesses {
  public:
    explicit ScreenDpiForNewProcesses(DWORD dpi) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot open the desktop settings");
        DWORD old = 0, type = 0, size = sizeof old;
        if (RegQueryValueExA(key_, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&old), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD)
            old_ = old;
        if (!Set(dpi)) {
            RegCloseKey(key_);
            throw std::runtime_error("cannot set the screen's resolution");
        }
    }
    ~ScreenDpiForNewProcesses() {
        if (old_)
            Set(*old_);
        else
            RegDeleteValueA(key_, kValue);
        RegCloseKey(key_);
    }
    ScreenDpiForNewProcesses(const ScreenDpiForNewProcesses&) = delete;
    ScreenDpiForNewProcesses& operator=(const ScreenDpiForNewProcesses&) = delete;

  private:
    static constexpr const char* kDesktop = "Control Panel\\Desktop";
    static constexpr const char* kValue = "LogPixels";

    bool Set(DWORD dpi) {
        return RegSetValueExA(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof dpi) == ERROR_SUCCESS;
    }

    HKEY key_ = nullptr;
    std::optional<DWORD> old_;
};

}  // namespace norvane::testing
