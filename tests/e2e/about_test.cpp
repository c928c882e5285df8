// Help > About: the dialog's texts, its timers, its keys, its links and its
// animated logo, seen from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "about/about_texts.h"
#include "app/win32_main_form.h"
#include "e2e/driver.h"
#include "win32/screen_dpi.h"

namespace e2e {
namespace {

// Where the dialog's pictures lie in its client area (designed at 96 dpi,
// the test screen's resolution).
constexpr RECT kLogo{12, 68, 12 + 173, 68 + 165};
constexpr POINT kBannerPoint{300, 30};
const std::string kWebAddress = "http://varnok.test/";
const std::string kEmailLink = "mailto:mail@varnok.test?subject=Shareware: ";

HWND ChildMatching(HWND parent, const std::regex& pattern) {
    for (HWND child : ChildrenOf(parent))
        if (std::regex_match(WindowText(child), pattern)) return child;
    return nullptr;
}

// The pixels of a rectangle of a window's client area as the screen shows them.
std::vector<std::uint32_t> Capture(HWND window, RECT r) {
    POINT origin{r.left, r.top};
    ClientToScreen(window, &origin);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The shell's "open" of http and mailto links, handed to a recorder that
// writes each link it gets as a line of a file.
class LinkRecorder {
  public:
    explicit LinkRecorder(const std::string& file) : file_(file) {
        const char* helper = std::getenv("NORVANE_HELPER");
        std::string command = "\"";
        command.append(WindowsPath(helper ? helper : "")).append("\" record \"");
        command.append(file).append("\" \"%1\"");
        for (const char* scheme : {"http", "mailto"}) {
            const std::string key =
                std::string("Software\\Classes\\") + scheme + "\\shell\\open\\command";
            HKEY handle = nullptr;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &handle, nullptr);
            char old[1024] = {};
            DWORD size = sizeof old;
            RegQueryValueExA(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                             &size);
            saved_.push_back({key, old});
            RegSetValueExA(handle, nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
            RegCloseKey(handle);
        }
    }
    ~LinkRecorder() {
        for (const auto& [key, value] : saved_)
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                            static_cast<DWORD>(value.size() + 1));
    }
    // Waits for the `count`th link and returns all so far.
    std::string Links(std::size_t count) const {
        std::string links;
        WaitUntil(
            [&] {
                links = FileExists(file_) ? ReadFile(file_) : "";
                return static_cast<std::size_t>(std::count(links.begin(), links.end(), '\n')) >=
                       count;
            },
            10s);
        return links;
    }

  private:
    std::string file_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

struct About : FreshStart {
    HWND Open(const Norvane& program) const {
        program.ChooseMenu('h', 'a');
        HWND about = program.WaitForWindow("TAboutBox");
        EXPECT_NE(about, nullptr) << "no About dialog";
        return about;
    }
};

const std::regex kFigure("[0-9]{1,3}%");

// The dialogs are made once the main window has painted: Help > About
// chosen the moment the window shows, before the program is idle, still
// finds the dialog, with its identity.
TEST_F(About, ChosenAsSoonAsTheMainWindowShowsItHasItsIdentity) {
    const char* built = std::getenv("NORVANE_EXE");
    ASSERT_NE(built, nullptr);
    const std::string exe = folder + "norvanel.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(built).c_str(), exe.c_str(), FALSE));
    Process program(exe);
    HWND main = program.WaitForWindow("TMainForm1");
    ASSERT_NE(main, nullptr);
    PostMessageA(
        main, WM_COMMAND,
        norvane::Form::kFirstComponentId + static_cast<UINT>(norvane::MainFormPart::AboutOption),
        0);
    HWND about = program.WaitForWindow("TAboutBox");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), "About Norvane v1.1b ...");
    EXPECT_TRUE(WaitUntil([&] {
        return ChildMatching(about, std::regex("Written by Varnok, November 2002")) != nullptr;
    }));
}

TEST_F(About, ShowsTheIdentityAMessageAndTheFigureAtOnce) {
    Norvane program(folder);
    HWND about = Open(program);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), "About Norvane v1.1b ...");
    EXPECT_FALSE(IsWindowEnabled(program.Main()));
    EXPECT_NE(program.Control("Norvane v1.1b", about), nullptr);
    EXPECT_NE(program.Control("Written by Varnok, November 2002", about), nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_NE(
        ChildMatching(about, std::regex("Copyright .* Varnok 2002-" + std::to_string(now.wYear))),
        nullptr);
    EXPECT_NE(ChildMatching(about, kFigure), nullptr) << "no memory figure";
    EXPECT_NE(program.Control(kWebAddress, about), nullptr);
    EXPECT_NE(program.Control("mail@varnok.test", about), nullptr);
    const bool quoteShown = std::ranges::any_of(norvane::kVarnokQuotes, [&](const char* quote) {
        HWND label = program.Control(quote, about);
        return label && IsWindowVisible(label);
    });
    EXPECT_TRUE(quoteShown) << "none of the maker's messages is shown";
}

TEST_F(About, TheFigureIsRewrittenEveryHalfSecondAndNotAfterClosing) {
    Norvane program(folder);
    HWND about = Open(program);
    ASSERT_NE(about, nullptr);
    HWND figure = ChildMatching(about, kFigure);
    ASSERT_NE(figure, nullptr);
    SetWindowTextA(figure, "stale");
    EXPECT_TRUE(WaitUntil([&] { return std::regex_match(WindowText(figure), kFigure); }, 2s));

    program.PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    SetWindowTextA(figure, "stale");
    Sleep(1200);
    EXPECT_EQ(WindowText(figure), "stale") << "a timer still runs after the dialog closed";
    EXPECT_TRUE(IsWindowEnabled(program.Main()));
}

TEST_F(About, EscapeAndEnterCloseIt) {
    Norvane program(folder);
    for (WORD key : {VK_ESCAPE, VK_RETURN}) {
        HWND about = Open(program);
        ASSERT_NE(about, nullptr);
        program.PressKey(key);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); })) << "key " << key;
    }
}

TEST_F(About, TheLogoAnimates) {
    Norvane program(folder);
    HWND about = Open(program);
    ASSERT_NE(about, nullptr);
    program.Sync();
    Sleep(300);  // past frame 1, which stays for two frame times
    const auto first = Capture(about, kLogo);
    Sleep(150);
    const auto second = Capture(about, kLogo);
    EXPECT_NE(first, second) << "the logo did not change in 150 ms";
}

TEST_F(About, LinksLogoAndBannerReachTheShell) {
    LinkRecorder recorder(folder + "links.txt");
    Norvane program(folder);
    HWND about = Open(program);
    ASSERT_NE(about, nullptr);
    program.Click(program.Control(kWebAddress, about));
    EXPECT_EQ(recorder.Links(1), kWebAddress + "\r\n");
    // Each link starts a process of its own that writes it down: the next
    // click waits for it, so that the links are written in the order clicked.
    program.Click(program.Control("mail@varnok.test", about));
    recorder.Links(2);
    program.ClickAt(about, {(kLogo.left + kLogo.right) / 2, (kLogo.top + kLogo.bottom) / 2});
    recorder.Links(3);
    program.ClickAt(about, kBannerPoint);
    EXPECT_EQ(recorder.Links(4), kWebAddress + "\r\n" + kEmailLink + "norvanel.exe\r\n" +
                                     kWebAddress + "\r\n" + kWebAddress + "\r\n");
}

TEST_F(About, TheEmailSubjectNamesTheExecutableAsStarted) {
    ASSERT_EQ(GetACP(), 1252u) << "the names below are in Windows-1252";
    // A mailto link is read as UTF-8: the e acute is C3 A9 there, E9 in Windows-1252.
    const std::pair<std::string, std::string> names[] = {{"other name.exe", "other name.exe"},
                                                         {"norvan\xE9l.exe", "norvan%C3%A9l.exe"}};
    for (const auto& [name, inSubject] : names) {
        LinkRecorder recorder(folder + "links.txt");
        DeleteFileA((folder + "links.txt").c_str());
        Norvane program(folder, SW_SHOWNORMAL, true, name);
        HWND about = Open(program);
        ASSERT_NE(about, nullptr);
        program.Click(program.Control("mail@varnok.test", about));
        EXPECT_EQ(recorder.Links(1), kEmailLink + inSubject + "\r\n");
    }
}

// The links' 16 pixels at 96 dpi on a screen of `dpi`: scaled as the
// dialog's layout is, by its "System" font's text height there (the font
// scaled by the resolution) against its 16 pixels at 96 dpi.
int LinkFontHeight(int dpi) {
    HDC screen = GetDC(nullptr);
    HFONT system = CreateFontA(-MulDiv(13, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, "System");
    HGDIOBJ old = SelectObject(screen, system);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    DeleteObject(system);
    ReleaseDC(nullptr, screen);
    return MulDiv(16, metrics.tmHeight, 16);
}

TEST_F(About, BothAddressesShowWholeAt96And120Dpi) {
    struct Case {
        DWORD dpi;
        int linkFontHeight;
    };
    for (const Case c : {Case{96, 16}, Case{120, LinkFontHeight(120)}}) {
        SCOPED_TRACE(std::to_string(c.dpi) + " dpi");
        const norvane::testing::ScreenDpiForNewProcesses resolution(c.dpi);
        Norvane program(folder);
        HWND about = Open(program);
        ASSERT_NE(about, nullptr);
        const RECT client = ClientRectOf(about);
        if (c.dpi != 96) {
            ASSERT_GT(client.right, 591) << "the resolution did not take effect";
        }
        HDC screen = GetDC(nullptr);
        HFONT font = CreateFontA(-c.linkFontHeight, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE,
                                 ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH, "Times New Roman");
        HGDIOBJ old = SelectObject(screen, font);
        for (const std::string& address : {kWebAddress, std::string("mail@varnok.test")}) {
            HWND label = nullptr;  // the link, not the hidden button that carries it
            for (HWND child : ChildrenOf(about))
                if (WindowText(child) == address && ClassName(child) == "Static") label = child;
            ASSERT_NE(label, nullptr) << address;
            RECT r = WindowRectOf(label);
            MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&r), 2);
            SIZE extent{};
            GetTextExtentPoint32A(screen, address.c_str(), static_cast<int>(address.size()),
                                  &extent);
            EXPECT_GE(r.right - r.left, extent.cx) << address;
            EXPECT_LE(r.left + extent.cx, client.right) << address << " at " << r.left;
        }
        SelectObject(screen, old);
        DeleteObject(font);
        ReleaseDC(nullptr, screen);
    }
}

}  // namespace
}  // namespace e2e
