// The settings file norvanel.ini beside the executable, section [norvanel],
// read and written one value at a time through the profile functions.
#pragma once

#include <string>

namespace norvane {

class SettingsFile {
  public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}
    // norvanel.ini in the folder of the running executable, whatever its name.
    static SettingsFile BesideExecutable();

    const std::string& Path() const { return path_; }
    int ReadInteger(const char* key, int fallback) const;
    bool ReadBool(const char* key, bool fallback) const;
    // Throw "Unable to write to <path>" when the file cannot be written.
    void WriteInteger(const char* key, int value) const;
    void WriteBool(const char* key, bool value) const;

  private:
    std::string path_;
};

}  // namespace norvane
