#include <windows.h>

#include "util/file_status.h"
#include "util/paths.h"

namespace norvane {
namespace {

// The legacy open record keeps a path of at most 127 characters.
constexpr std::size_t kLongestExaminedName = OFS_MAXPATHNAME - 1;

// Critical errors (a drive not ready) fail the call instead of asking the user.
class QuietErrorMode {
  public:
    QuietErrorMode() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietErrorMode() { SetErrorMode(previous_); }
    QuietErrorMode(const QuietErrorMode&) = delete;
    QuietErrorMode& operator=(const QuietErrorMode&) = delete;

  private:
    UINT previous_;
};

}  // namespace

std::string CheckFileStatus(const std::string& name) {
    if (name.empty()) return {};
    if (name.size() > kLongestExaminedName) return kFileClosed;
    if (!FileExists(name)) return {};
    QuietErrorMode quiet;
    OFSTRUCT record{};
    const HFILE file = OpenFile(name.c_str(), &record, OF_READWRITE | OF_SHARE_EXCLUSIVE);
    if (file == HFILE_ERROR) return FileStatusForOpenError(record.nErrCode);
    CloseHandle(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file)));
    return kFileClosed;
}

bool SetFileAttributeFlags(const std::string& name, bool readOnly, bool archive, bool system,
                           bool hidden) {
    if (!FileExists(name)) return false;
    const DWORD flags = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                        (archive ? FILE_ATTRIBUTE_ARCHIVE : 0) |
                        (system ? FILE_ATTRIBUTE_SYSTEM : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
    SetFileAttributesA(name.c_str(), flags);
    return (GetFileAttributesA(name.c_str()) & 0xFFFF) == flags;
}

bool DeleteClosedFile(const std::string& name) {
    if (!FileExists(name)) return false;
    SetFileAttributeFlags(name, false, false, false, false);
    if (CheckFileStatus(name) != kFileClosed) return false;
    DeleteFileA(name.c_str());
    return !FileExists(name);
}

}  // namespace norvane
