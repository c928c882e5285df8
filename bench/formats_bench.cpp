// The format list under Wine (or Windows) with 2,000 registered formats on
// the clipboard: first open against Refresh (the same rebuild, into a list
// box on view), and beside it the rebuild line by line into the list box on
// view with its repainting left on.
// Build: cmake --build --preset win32 --target formats_bench; run it with wine.
#include <windows.h>

#include <cstdio>
#include <string>

#include "clipboard/format_list.h"
#include "clipboard/win32_clipboard_service.h"
#include "clipboard/win32_formats_form.h"
#include "reader/win32_reader_role.h"
#include "ui/application.h"
#include "win32_bench_support.h"

namespace {

using norvane::bench::NoMessages;
using norvane::bench::Seconds;

// The time of `work` and of the painting it left behind.
double Timed(auto&& work) {
    const double start = Seconds();
    work();
    norvane::ProcessPendingMessages();
    return Seconds() - start;
}

void PlaceFormats(int count) {
    HWND owner =
        CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(owner);
    EmptyClipboard();
    for (int n = 0; n < count; ++n) {
        const std::string name = "Norvane bench format " + std::to_string(n);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 1);
        SetClipboardData(RegisterClipboardFormatA(name.c_str()), data);
    }
    CloseClipboard();
}

}  // namespace

int main() {
    // The readings of the system's clipboard start this program as their reader.
    if (const auto readerExit = norvane::RunAsReaderIfAsked()) return *readerExit;
    constexpr int kFormats = 2000;
    PlaceFormats(kFormats);
    NoMessages messages;
    norvane::Win32ClipboardService clipboard;
    norvane::TClipboard_Formats_Form form(messages, clipboard, nullptr);
    const double first = Timed([&] { form.Show(); });
    double refresh = 1e9;
    for (int run = 0; run < 3; ++run)
        refresh = std::min(refresh, Timed([&] { form.Refresh_BitBtnClick(); }));
    HWND list = form.Get(norvane::FormatsFormPart::ListBox1).hwnd;
    const auto lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    const double painted = Timed([&] {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (const std::string& line : norvane::ReadFormatList(clipboard).lines)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    });
    double reading = 1e9;
    for (int run = 0; run < 3; ++run)
        reading = std::min(reading, Timed([&] { norvane::ReadFormatList(clipboard); }));
    std::printf("formats/%d  reading the clipboard alone %7.0f ms\n", kFormats, reading * 1000);
    std::printf("formats/%d  first open %7.0f ms  Refresh (best of 3) %7.0f ms  (%ld lines)\n",
                kFormats, first * 1000, refresh * 1000, static_cast<long>(lines));
    std::printf("formats/%d  rebuilt with repainting on %7.0f ms\n", kFormats, painted * 1000);
    return 0;
}
