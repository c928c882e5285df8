// Drives a running norvanel.exe as a person would: finds its windows, clicks
// its buttons and menus, reads and answers its message boxes. Every wait has
// a time-out, and a program that ended is reported, never waited for.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

// Polls `done` until it holds or `timeout` passes.
template <class Predicate>
bool WaitUntil(Predicate done, Duration timeout = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::Sleep(25);
    }
    return true;
}

// A Unix path as Wine sees it ("/a/b" -> "Z:\a\b"); Windows paths unchanged.
std::string WindowsPath(std::string path);
// An empty folder of its own for the running test, inside the prefix.
std::string FreshScratchFolder();
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, std::string_view content);

struct Bounds {
    long left, top, width, height;
    friend bool operator==(const Bounds&, const Bounds&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Bounds& b) {
        return o << b.left << "," << b.top << " " << b.width << "x" << b.height;
    }
};

struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
};

// A program started by the test, ended when the object goes.
class Process {
  public:
    Process(const std::string& exe, const std::string& arguments = "",
            WORD showWindow = SW_SHOWNORMAL, bool useShowWindow = true);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool HasEnded() const;
    void WaitForIdle() const;
    // True when it ended within `timeout`; its exit code then in *code.
    bool WaitForExit(Duration timeout, DWORD* code = nullptr) const;
    // Visible top-level windows of the process with this class ("" any).
    std::vector<HWND> Windows(std::string_view className = "") const;
    HWND WaitForWindow(std::string_view className, Duration timeout = 15s) const;

  private:
    PROCESS_INFORMATION info_{};
};

// The program under test: norvanel.exe copied into a scratch folder.
class Norvane : public Process {
  public:
    explicit Norvane(const std::string& folder, WORD showWindow = SW_SHOWNORMAL,
                     bool useShowWindow = true, const std::string& exeName = "norvanel.exe");
    // The norvanel.exe that lies in `folder` already, started where it is.
    struct InPlace {};
    Norvane(InPlace, const std::string& folder);
    HWND Main() const { return main_; }
    const std::string& Folder() const { return folder_; }

    // A child control of `window` by its text.
    HWND Control(std::string_view text, HWND window = nullptr) const;
    void Click(HWND control) const;
    // A click at `point` of the window's client area.
    void ClickAt(HWND window, POINT point) const;
    // Two clicks there, quick enough to make a double-click.
    void DoubleClickAt(HWND window, POINT point) const;
    // Returns once the program's user-interface thread takes messages again
    // (one sent to it is handled only then): input sent after it is not
    // handled in the middle of an earlier command.
    void Sync() const;
    // Alt, the menu's mnemonic, then the item's mnemonic.
    void ChooseMenu(char menu, char item) const;
    // The next message box, or nothing when none appears in time (the test
    // fails with the reason; an ended program is reported at once).
    std::optional<MessageBoxSeen> WaitForMessageBox(Duration timeout = 10s) const;
    // Clicks the box's button with this text ("OK", "&Yes", "&No").
    void Answer(const MessageBoxSeen& box, std::string_view button) const;
    // The next message box: checks its title (unless empty) and text, and
    // answers it with `button`. False when no box came.
    bool ExpectBox(std::string_view title, std::string_view text,
                   std::string_view button = "OK") const;
    void PressKey(WORD key) const;
    // Holds the keys down in order (Alt, Space), then lets them go.
    void PressKeys(std::initializer_list<WORD> keys) const;
    // Checks that no message box appears within `wait`.
    bool NoMessageBoxWithin(Duration wait) const;

  private:
    void AwaitMainWindow();

    std::string folder_;
    HWND main_ = nullptr;
};

// Keys held down in order (Shift, F10) and let go, to whatever window has
// the focus.
void PressTogether(std::initializer_list<WORD> keys);

// A top-level window of any process by class, whose title contains `part`.
HWND WaitForTopWindow(std::string_view className, std::string_view part, Duration timeout = 15s);
bool IsTopmost(HWND window);

// The Run value of the test prefix (HKLM ...\CurrentVersion\Run).
class RunKey {
  public:
    RunKey();  // makes sure the key exists and holds no norvanel value
    ~RunKey();
    void Set(const std::string& name, const std::string& data, DWORD type = REG_SZ);
    std::optional<std::string> Get(const std::string& name) const;  // REG_SZ data, without its zero
    void RemoveKey();
};

// A test that starts the program with no Run entry of it, in a fresh
// scratch folder of its own.
struct FreshStart : ::testing::Test {
    RunKey runKey;
    std::string folder = FreshScratchFolder();
};

std::string WindowText(HWND window);
// Every child window of `parent`, its children's children included.
std::vector<HWND> ChildrenOf(HWND parent);
// The first of them of the window class (in any case); with `visibleOnly`,
// the first visible one.
HWND ChildOfClass(HWND parent, std::string_view className, bool visibleOnly = false);
// Whether a child window's text holds `part`.
bool HasChildWithText(HWND parent, std::string_view part);
std::string ClassName(HWND window);
RECT ClientRectOf(HWND window);
RECT WindowRectOf(HWND window);
// Line `index` of a list box of another process; nothing when there is no
// such line or it kept changing while it was read.
std::optional<std::string> ReadListBoxLine(HWND list, int index);
std::string ListBoxLine(HWND list, int index);  // "" for nothing
int ListBoxCount(HWND list);
// Every line of a list box of another process, "" for one that kept changing.
std::vector<std::string> ListBoxLines(HWND list);
// A cell of a list view of another (32-bit) process, read through memory
// of that process (list view messages are not marshalled); "" for none.
std::string ListViewCell(HWND list, int line, int column);
int ListViewCount(HWND list);

// clipboard_helper.exe in one of its modes ("MODE NAME ARGUMENT"), talked to
// through the events NAME.ready, NAME.release and NAME.quit; it is told to
// quit when the object goes.
class HelperProcess {
  public:
    HelperProcess(const std::string& mode, const std::string& argument);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;
    bool WaitForExit(Duration timeout, DWORD* code = nullptr) const {
        return process_->WaitForExit(timeout, code);
    }
    DWORD Id() const { return process_->Id(); }

  protected:
    void Release();

  private:
    HANDLE release_ = nullptr;
    HANDLE quit_ = nullptr;
    std::optional<Process> process_;
};

// Another process holding a file open without sharing, until destroyed.
class FileHolder : public HelperProcess {
  public:
    explicit FileHolder(const std::string& path) : HelperProcess("holdfile", path) {}
};

// Another process that places text (and more) on the clipboard and stays its
// owner, or holds the clipboard open until released.
class ClipboardHelper : public HelperProcess {
  public:
    enum class Mode { Text, Bitmap, Format, NoOwner, Delayed, Hold, Inspect, Bytes };
    ClipboardHelper(Mode mode, const std::string& text);
    using HelperProcess::Release;  // closes a held clipboard, keeps owning the data
};

// The clipboard as the test sees it.
int ClipboardFormatCount();
std::optional<std::string> ClipboardText();
void PutTextOnClipboard(const std::string& text);

}  // namespace e2e
