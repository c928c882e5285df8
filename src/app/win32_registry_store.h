#pragma once

#include <windows.h>

#include "app/run_entry.h"

namespace norvane {

// One root of the real registry; keys are opened with KEY_ALL_ACCESS.
class Win32RegistryStore final : public RegistryStore {
  public:
    explicit Win32RegistryStore(HKEY root) : root_(root) {}
    bool KeyExists(std::string_view subkey) override;
    std::optional<ValueInfo> QueryInfo(std::string_view subkey, std::string_view name) override;
    std::optional<std::string> QueryData(std::string_view subkey, std::string_view name,
                                         std::size_t size) override;
    bool SetText(std::string_view subkey, std::string_view name, std::string_view bytes) override;
    void DeleteValue(std::string_view subkey, std::string_view name) override;

  private:
    HKEY root_;
};

}  // namespace norvane
