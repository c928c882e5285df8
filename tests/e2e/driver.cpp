#include "e2e/driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

void Sleep(Duration d) {
    ::Sleep(static_cast<DWORD>(d.count()));
}

struct WindowSearch {
    DWORD pid;
    std::string_view className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && IsWindowVisible(w) &&
        (s->className.empty() || ClassName(w) == s->className))
        s->found.push_back(w);
    return TRUE;
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void BringToFront(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(root);
    WaitUntil([&] { return GetForegroundWindow() == root; }, 2s);
}

// Every process a test starts, by id, so that none outlives its test: not
// when the test fails, and not when this program crashes. They also share a
// job that ends with this program, taking along what they started in turn
// (Notepad).
class StartedProcesses {
  public:
    static StartedProcesses& Instance() {
        static StartedProcesses instance;
        return instance;
    }
    void Add(const PROCESS_INFORMATION& process) {
        if (job_) AssignProcessToJobObject(job_, process.hProcess);
        EnterCriticalSection(&lock_);
        ids_.push_back(process.dwProcessId);
        LeaveCriticalSection(&lock_);
    }
    void Remove(DWORD id) {
        EnterCriticalSection(&lock_);
        std::erase(ids_, id);
        LeaveCriticalSection(&lock_);
    }
    // Ends each process still listed, by its id.
    void EndAll() {
        EnterCriticalSection(&lock_);
        const std::vector<DWORD> ids = std::exchange(ids_, {});
        LeaveCriticalSection(&lock_);
        for (DWORD id : ids) {
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                TerminateProcess(process, 99);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }

  private:
    StartedProcesses() {
        InitializeCriticalSection(&lock_);
        job_ = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_)
            SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits,
                                    sizeof limits);
    }
    CRITICAL_SECTION lock_;
    HANDLE job_ = nullptr;  // closed by the system when this program ends
    std::vector<DWORD> ids_;
};

// A crash of this program ends it at once with the exception's code, after
// ending what it started: it never waits in a debugger, and leaves nothing
// behind for the next run.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    std::fprintf(stderr, "e2e_tests.exe crashed: exception %08lx at %p\n",
                 static_cast<unsigned long>(code), exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    StartedProcesses::Instance().EndAll();
    TerminateProcess(GetCurrentProcess(), code);
    return EXCEPTION_EXECUTE_HANDLER;
}

// After every test, whatever it left running goes.
class EndLeftoverProcesses : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { StartedProcesses::Instance().EndAll(); }
};

[[maybe_unused]] const bool installed = [] {
    SetUnhandledExceptionFilter(&EndOnCrash);
    ::testing::UnitTest::GetInstance()->listeners().Append(new EndLeftoverProcesses);
    return true;
}();

}  // namespace

std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

namespace {

// Removes a folder and all it holds (files made read-only included).
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string FreshScratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "norvane-e2e\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += std::string(test->test_suite_name()) + "." + test->name();
    // Start from nothing: remove what an earlier run left.
    RemoveTree(folder);
    folder += "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, std::string_view content) {
    std::ofstream(path, std::ios::binary) << content;
}

Process::Process(const std::string& exe, const std::string& arguments, WORD showWindow,
                 bool useShowWindow) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (useShowWindow) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = showWindow;
    }
    std::string command = "\"" + exe + "\" " + arguments;
    // Started suspended, so that it is in the job before it can start anything.
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info_))
        throw std::runtime_error("cannot start " + exe + ": error " +
                                 std::to_string(GetLastError()));
    StartedProcesses::Instance().Add(info_);
    ResumeThread(info_.hThread);
}

Process::~Process() {
    if (!HasEnded()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    StartedProcesses::Instance().Remove(info_.dwProcessId);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

void Process::WaitForIdle() const {
    WaitForInputIdle(info_.hProcess, 10000);
}

bool Process::HasEnded() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
}

bool Process::WaitForExit(Duration timeout, DWORD* code) const {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return false;
    if (code) GetExitCodeProcess(info_.hProcess, code);
    return true;
}

std::vector<HWND> Process::Windows(std::string_view className) const {
    WindowSearch search{Id(), className, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::WaitForWindow(std::string_view className, Duration timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const auto windows = Windows(className);
            found = windows.empty() ? nullptr : windows.front();
            return found || HasEnded();
        },
        timeout);
    return found;
}

Norvane::Norvane(const std::string& folder, WORD showWindow, bool useShowWindow,
                 const std::string& exeName)
    : Process(
          [&] {
              const std::string target = folder + exeName;
              const char* built = std::getenv("NORVANE_EXE");
              if (!built) throw std::runtime_error("NORVANE_EXE is not set");
              if (!CopyFileA(WindowsPath(built).c_str(), target.c_str(), FALSE))
                  throw std::runtime_error("cannot copy norvanel.exe to " + target);
              return target;
          }(),
          "", showWindow, useShowWindow),
      folder_(folder) {
    AwaitMainWindow();
}

Norvane::Norvane(InPlace, const std::string& folder)
    : Process(folder + "norvanel.exe"), folder_(folder) {
    AwaitMainWindow();
}

void Norvane::AwaitMainWindow() {
    main_ = WaitForWindow("TMainForm1");
    if (!main_) throw std::runtime_error("the main window did not appear");
    // The window shows in the middle of the show sequence; the program is
    // ready once its message loop waits for input.
    WaitForIdle();
}

HWND Norvane::Control(std::string_view text, HWND window) const {
    for (HWND child : ChildrenOf(window ? window : main_))
        if (WindowText(child) == text) return child;
    return nullptr;
}

void Norvane::Sync() const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void Norvane::Click(HWND control) const {
    const RECT r = ClientRectOf(control);
    ClickAt(control, {r.right / 2, r.bottom / 2});
}

void Norvane::ClickAt(HWND window, POINT point) const {
    Sync();
    BringToFront(window);
    ClientToScreen(window, &point);
    const int x = point.x, y = point.y;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (width - 1);
        input.mi.dy = y * 65535 / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    // The pointer first arrives over the control; then the button goes down
    // and up there (X may still report motion from where it was).
    SendInput(1, &inputs[0], sizeof(INPUT));
    WaitUntil(
        [&] {
            POINT at;
            GetCursorPos(&at);
            return std::abs(at.x - x) <= 1 && std::abs(at.y - y) <= 1;
        },
        1s);
    Sleep(50ms);
    SendInput(2, &inputs[1], sizeof(INPUT));
}

void Norvane::DoubleClickAt(HWND window, POINT point) const {
    ClickAt(window, point);
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void Norvane::ChooseMenu(char menu, char item) const {
    Sync();
    BringToFront(main_);
    // Hands off the mouse: a tooltip that pops up under it would end the menu.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    // The item's key goes only to an open menu: on a busy machine the menu
    // can take longer to open than any fixed pause.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SendKey(VK_MENU, false);
        SendKey(static_cast<WORD>(VkKeyScanA(menu) & 0xFF), false);
        SendKey(static_cast<WORD>(VkKeyScanA(menu) & 0xFF), true);
        SendKey(VK_MENU, true);
        if (WaitUntil([&] { return !Windows("#32768").empty(); }, 3s)) break;
        PressKey(VK_ESCAPE);  // whatever the keys started, before the next try
        Sync();
    }
    SendKey(static_cast<WORD>(VkKeyScanA(item) & 0xFF), false);
    SendKey(static_cast<WORD>(VkKeyScanA(item) & 0xFF), true);
}

void Norvane::PressKeys(std::initializer_list<WORD> keys) const {
    Sync();
    BringToFront(main_);
    for (WORD key : keys) SendKey(key, false);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) SendKey(*key, true);
}

void Norvane::PressKey(WORD key) const {
    SendKey(key, false);
    SendKey(key, true);
}

std::optional<MessageBoxSeen> Norvane::WaitForMessageBox(Duration timeout) const {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            const auto boxes = Windows("#32770");
            box = boxes.empty() ? nullptr : boxes.front();
            return box || HasEnded();
        },
        timeout);
    if (!box) {
        DWORD code = 0;
        if (WaitForExit(0ms, &code))
            ADD_FAILURE() << "norvanel.exe ended (exit code " << code
                          << ") instead of showing a box";
        return std::nullopt;
    }
    MessageBoxSeen seen{box, WindowText(box), "", {}};
    // The text may be filled a moment after the box appears.
    WaitUntil(
        [&] {
            for (HWND child : ChildrenOf(box)) {
                const std::string cls = ClassName(child), text = WindowText(child);
                if (_stricmp(cls.c_str(), "Static") == 0 && text.size() > seen.text.size())
                    seen.text = text;
            }
            return !seen.text.empty();
        },
        2s);
    for (HWND child : ChildrenOf(box))
        if (_stricmp(ClassName(child).c_str(), "Button") == 0 && IsWindowVisible(child))
            seen.buttons.push_back(WindowText(child));
    return seen;
}

void Norvane::Answer(const MessageBoxSeen& box, std::string_view button) const {
    HWND target = Control(button, box.hwnd);
    ASSERT_NE(target, nullptr) << "no button " << button << " in the box";
    Click(target);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); }, 5s))
        << "the box did not close";
}

bool Norvane::ExpectBox(std::string_view title, std::string_view text,
                        std::string_view button) const {
    const auto box = WaitForMessageBox();
    if (!box) return false;
    if (!title.empty()) {
        EXPECT_EQ(box->title, title);
    }
    EXPECT_EQ(box->text, text);
    Answer(*box, button);
    return true;
}

bool Norvane::NoMessageBoxWithin(Duration wait) const {
    Sleep(wait);
    return Windows("#32770").empty();
}

static BOOL CALLBACK CollectChild(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool HasChildWithText(HWND parent, std::string_view part) {
    for (HWND child : ChildrenOf(parent))
        if (WindowText(child).find(part) != std::string::npos) return true;
    return false;
}

HWND ChildOfClass(HWND parent, std::string_view className, bool visibleOnly) {
    for (HWND child : ChildrenOf(parent))
        if (_stricmp(ClassName(child).c_str(), std::string(className).c_str()) == 0 &&
            (!visibleOnly || IsWindowVisible(child)))
            return child;
    return nullptr;
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientRectOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

int ListBoxCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

std::vector<std::string> ListBoxLines(HWND list) {
    std::vector<std::string> lines;
    for (int i = 0; i < ListBoxCount(list); ++i) lines.push_back(ListBoxLine(list, i));
    return lines;
}

std::optional<std::string> ReadListBoxLine(HWND list, int index) {
    // LB_GETTEXT takes no buffer size, and the other process may refill its
    // list between asking the length and the text: the text goes into a
    // buffer far longer than any line the program makes (a registered
    // format's name is at most 255 characters), a longer line is refused,
    // and a read is kept only when the line's length did not change around
    // it. Only the wide forms are marshalled across processes.
    constexpr LRESULT kCapacity = 16384;  // characters
    std::vector<wchar_t> wide(static_cast<std::size_t>(kCapacity) + 1, L'\0');
    auto ask = [&](UINT message, LPARAM lParam) -> std::optional<LRESULT> {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(list, message, static_cast<WPARAM>(index), lParam,
                                 SMTO_ABORTIFHUNG, 5000, &result))
            return std::nullopt;  // gone, or hung
        return static_cast<LRESULT>(result);
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        const auto before = ask(LB_GETTEXTLEN, 0);
        if (!before || *before == LB_ERR) return std::nullopt;
        if (*before < 0 || *before >= kCapacity) {
            ADD_FAILURE() << "list box line " << index << " of " << *before << " characters";
            return std::nullopt;
        }
        const auto got = ask(LB_GETTEXT, reinterpret_cast<LPARAM>(wide.data()));
        const auto after = ask(LB_GETTEXTLEN, 0);
        if (!got || !after) return std::nullopt;
        if (*got == *before && *after == *before) {
            const int length = static_cast<int>(*got);
            const int size =
                WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
            std::string text(static_cast<std::size_t>(size), '\0');
            WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), size, nullptr,
                                nullptr);
            return text;
        }
        Sleep(10ms);  // changed under the read: once more
    }
    return std::nullopt;
}

std::string ListBoxLine(HWND list, int index) {
    return ReadListBoxLine(list, index).value_or("");
}

void PressTogether(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (bool up : {false, true}) {
        for (WORD key : keys) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        }
    }
    std::reverse(inputs.begin() + static_cast<long>(keys.size()), inputs.end());
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

int ListViewCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewCell(HWND list, int line, int column) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return {};
    constexpr int kCapacity = 512;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kCapacity, MEM_COMMIT, PAGE_READWRITE));
    std::string text;
    if (remote) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = line;
        item.iSubItem = column;
        item.pszText = remote + sizeof item;
        item.cchTextMax = kCapacity;
        char buffer[kCapacity] = {};
        if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(line),
                         reinterpret_cast<LPARAM>(remote)) >= 0 &&
            ReadProcessMemory(process, remote + sizeof item, buffer, sizeof buffer - 1, nullptr))
            text = buffer;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

HelperProcess::HelperProcess(const std::string& mode, const std::string& argument) {
    static int counter = 0;
    std::string name = "norvane-helper-";
    name.append(std::to_string(GetCurrentProcessId()))
        .append("-")
        .append(std::to_string(++counter));
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (name + ".ready").c_str());
    release_ = CreateEventA(nullptr, TRUE, FALSE, (name + ".release").c_str());
    quit_ = CreateEventA(nullptr, TRUE, FALSE, (name + ".quit").c_str());
    const char* helper = std::getenv("NORVANE_HELPER");
    if (!helper) throw std::runtime_error("NORVANE_HELPER is not set");
    process_.emplace(WindowsPath(helper), mode + " " + name + " \"" + argument + "\"");
    const DWORD waited = WaitForSingleObject(ready, 15000);
    CloseHandle(ready);
    if (waited != WAIT_OBJECT_0)
        throw std::runtime_error("the " + mode + " helper did not get ready");
}

HelperProcess::~HelperProcess() {
    SetEvent(release_);
    SetEvent(quit_);
    if (process_) process_->WaitForExit(5s);
    process_.reset();
    CloseHandle(release_);
    CloseHandle(quit_);
}

void HelperProcess::Release() {
    SetEvent(release_);
    Sleep(300ms);
}

namespace {

constexpr const char* kClipboardModes[] = {"text",    "bitmap", "format",  "noowner",
                                           "delayed", "hold",   "inspect", "bytes"};

}  // namespace

ClipboardHelper::ClipboardHelper(Mode mode, const std::string& text)
    : HelperProcess(kClipboardModes[static_cast<int>(mode)], text) {}

namespace {

bool OpenClipboardPatiently() {
    return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3s);
}

}  // namespace

int ClipboardFormatCount() {
    return CountClipboardFormats();
}

std::optional<std::string> ClipboardText() {
    if (!OpenClipboardPatiently()) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void PutTextOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboardPatiently());
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

}  // namespace e2e

namespace e2e {
bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace e2e

namespace e2e {
namespace {

constexpr char kRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct TopSearch {
    std::string_view className, part;
    HWND found = nullptr;
};

BOOL CALLBACK FindTop(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<TopSearch*>(p);
    if (IsWindowVisible(w) && ClassName(w) == s->className &&
        WindowText(w).find(s->part) != std::string::npos) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

void RemoveTestValues() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunSubkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    for (const char* name : {"norvanel.exe", "other name.exe", "norvane2.exe"})
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

}  // namespace

HWND WaitForTopWindow(std::string_view className, std::string_view part, Duration timeout) {
    TopSearch search{className, part};
    WaitUntil(
        [&] {
            EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

bool IsTopmost(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

RunKey::RunKey() {
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegCloseKey(key);
    RemoveTestValues();
}

RunKey::~RunKey() {
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegCloseKey(key);
    RemoveTestValues();
}

void RunKey::Set(const std::string& name, const std::string& data, DWORD type) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunSubkey, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

std::optional<std::string> RunKey::Get(const std::string& name) const {
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunSubkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const LONG status =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return std::string(data);
}

void RunKey::RemoveKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunSubkey);
}

}  // namespace e2e
