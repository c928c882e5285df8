#include "app/win32_registry_store.h"

#include "ui/handles.h"

namespace norvane {
namespace {

UniqueKey Open(HKEY root, std::string_view subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, std::string(subkey).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

}  // namespace

bool Win32RegistryStore::KeyExists(std::string_view subkey) {
    return static_cast<bool>(Open(root_, subkey));
}

std::optional<RegistryStore::ValueInfo> Win32RegistryStore::QueryInfo(std::string_view subkey,
                                                                      std::string_view name) {
    const UniqueKey key = Open(root_, subkey);
    if (!key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), std::string(name).c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return ValueInfo{type, size};
}

std::optional<std::string> Win32RegistryStore::QueryData(std::string_view subkey,
                                                         std::string_view name, std::size_t size) {
    const UniqueKey key = Open(root_, subkey);
    if (!key) return std::nullopt;
    std::string data(size, '\0');
    DWORD type = 0, got = static_cast<DWORD>(size);
    if (RegQueryValueExA(key.get(), std::string(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(got);
    return data;
}

bool Win32RegistryStore::SetText(std::string_view subkey, std::string_view name,
                                 std::string_view bytes) {
    const UniqueKey key = Open(root_, subkey);
    return key && RegSetValueExA(key.get(), std::string(name).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

void Win32RegistryStore::DeleteValue(std::string_view subkey, std::string_view name) {
    if (const UniqueKey key = Open(root_, subkey))
        RegDeleteValueA(key.get(), std::string(name).c_str());
}

}  // namespace norvane
