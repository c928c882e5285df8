// The Run-at-start-up entry: one REG_SZ value under the machine-wide Run key,
// named after the executable's file name and holding its path. The logic is
// portable; the registry itself sits behind RegistryStore.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ui/message_dialog.h"

namespace norvane {

inline constexpr std::string_view kRunKeyPath =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr unsigned kRegSz = 1, kRegExpandSz = 2;

// One root of the registry. Every call opens the key with full access and
// closes it again before it returns; no call creates the key.
class RegistryStore {
  public:
    struct ValueInfo {
        unsigned type;
        std::size_t size;
    };
    virtual ~RegistryStore() = default;
    virtual bool KeyExists(std::string_view subkey) = 0;
    // Nothing when the value cannot be queried (missing, or no such key).
    virtual std::optional<ValueInfo> QueryInfo(std::string_view subkey, std::string_view name) = 0;
    // Nothing when the data cannot be read into `size` bytes.
    virtual std::optional<std::string> QueryData(std::string_view subkey, std::string_view name,
                                                 std::size_t size) = 0;
    virtual bool SetText(std::string_view subkey, std::string_view name,
                         std::string_view bytes) = 0;
    virtual void DeleteValue(std::string_view subkey, std::string_view name) = 0;
};

// A text value, verified by reading it back; false after showing what failed.
// Throws "Failed to set data for '<name>'" when the write itself fails.
bool WriteRegistryText(RegistryStore& store, MessageDialog& messages, std::string_view keyPath,
                       std::string_view name, std::string_view text);
// Deletes a value and verifies it is gone (a missing value counts as deleted).
bool DeleteRegistryValue(RegistryStore& store, MessageDialog& messages, std::string_view keyPath,
                         std::string_view name);
// The value's text up to its first zero byte; empty when the key or the value
// is missing or empty. Throws "Failed to get data for '<name>'" or "Invalid
// data type for '<name>'" (not text).
std::string ReadRegistryText(RegistryStore& store, std::string_view keyPath, std::string_view name);

// The entry's data for an executable path: quoted when the path has a blank,
// so that no other program (C:\Program.exe) can be started in its place.
std::string RunEntryData(std::string_view executablePath);

class RunEntry {
  public:
    RunEntry(RegistryStore& store, MessageDialog& messages, std::string executablePath);

    bool Add();     // writes the entry and says so
    bool Remove();  // deletes it and says so
    // True when an entry exists; offers to repair one that points elsewhere.
    bool Verify();

    const std::string& ValueName() const { return name_; }

  private:
    RegistryStore& store_;
    MessageDialog& messages_;
    std::string path_;
    std::string name_;
};

}  // namespace norvane
