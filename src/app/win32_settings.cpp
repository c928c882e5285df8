#include <windows.h>

#include <stdexcept>

#include "app/profile_number.h"
#include "app/settings.h"
#include "util/paths.h"

namespace norvane {
namespace {

constexpr char kSection[] = "norvanel";

}  // namespace

SettingsFile SettingsFile::BesideExecutable() {
    return SettingsFile(ExecutableFolder() + "norvanel.ini");
}

int SettingsFile::ReadInteger(const char* key, int fallback) const {
    char text[2048] = {};
    const DWORD length =
        GetPrivateProfileStringA(kSection, key, "", text, sizeof text, path_.c_str());
    return ParseProfileInteger(std::string_view(text, length)).value_or(fallback);
}

bool SettingsFile::ReadBool(const char* key, bool fallback) const {
    return ReadInteger(key, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteInteger(const char* key, int value) const {
    if (!WritePrivateProfileStringA(kSection, key, std::to_string(value).c_str(), path_.c_str()))
        throw std::runtime_error("Unable to write to " + path_);
}

void SettingsFile::WriteBool(const char* key, bool value) const {
    WriteInteger(key, value ? 1 : 0);
}

}  // namespace norvane
