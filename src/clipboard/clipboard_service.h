// All access to the system clipboard goes through this interface; the one
// real implementation calls the Win32 clipboard functions, tests use fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clipboard/format_data.h"
#include "clipboard/standard_formats.h"

struct HWND__;
struct HBITMAP__;

namespace norvane {

using WindowHandle = HWND__*;  // the same type as a Win32 HWND
using BitmapHandle = HBITMAP__*;

// Told of each open and close of the clipboard made through the service, on
// the thread that makes it, at once: it must be quick and must not throw.
class ClipboardOpenObserver {
  public:
    virtual void Opened(WindowHandle window) noexcept = 0;
    virtual void Closed() noexcept = 0;

  protected:
    ~ClipboardOpenObserver() = default;
};

class ClipboardService {
  public:
    virtual ~ClipboardService() = default;
    // Whether this is the system's clipboard, which the program's reader
    // process reads too; one held in memory is read in this process.
    virtual bool IsSystemClipboard() const { return false; }

    // Need no open clipboard.
    // The number the system moves on every change of the clipboard.
    virtual std::uint32_t SequenceNumber() = 0;
    virtual int CountFormats() = 0;
    virtual bool IsFormatAvailable(unsigned format) = 0;
    virtual WindowHandle Owner() = 0;
    // The class name of a window (at most 255 characters), empty when there
    // is no window or its name cannot be read.
    virtual std::string WindowClassName(WindowHandle window) = 0;
    // The window that has the clipboard open: null when it is not open, or
    // when a program opened it without a window.
    virtual WindowHandle OpenClipboardWindow() = 0;
    // The formats on the clipboard by number, in the order they were
    // placed; nothing when they cannot be read.
    virtual std::optional<std::vector<unsigned>> UpdatedFormats() = 0;
    // Read with the wide calls and given as UTF-8, so that no character
    // outside the ANSI code page is lost: a window's class name, a format's
    // registered name (empty for the predefined ones).
    virtual std::string WindowClassNameUtf8(WindowHandle window) = 0;
    virtual std::string FormatNameUtf8(unsigned format) = 0;

    virtual bool Open(WindowHandle owner) = 0;
    virtual bool Empty() = 0;
    virtual bool Close() = 0;
    // Tells `observer` (null: nobody) of the opens and closes from now on.
    // Safe from any thread: once it returns, the observer before is told
    // nothing more. A service that only pretends (a fake) tells nobody.
    virtual void ObserveOpens(ClipboardOpenObserver* /*observer*/) {}

    // With the clipboard open: the format after `previous` (0 starts), 0 at
    // the end or when the clipboard is not open.
    virtual unsigned EnumFormats(unsigned previous) = 0;
    // The registered name of a format (at most 254 characters), empty for
    // the predefined ones.
    virtual std::string FormatName(unsigned format) = 0;
    // A copy of the text as UTF-16: the Unicode text (format 13) where the
    // clipboard offers it, else the text (format 1) converted whole from the
    // ANSI code page. Up to its terminating zero, never beyond the data's
    // memory block (a text without a zero ends with its block). Nothing
    // when the data cannot be got.
    virtual std::optional<std::u16string> CopyText() = 0;
    // A copy of the system's bitmap (format 2) that the caller owns and
    // deletes, so that the clipboard's own is never changed; null when it
    // cannot be got. The system makes it from a DIB's header unchecked: ask
    // for it only when the clipboard offers no DIB (a picture is otherwise
    // made from the DIB, clipboard/win32_clipboard_picture.h).
    virtual BitmapHandle CopyBitmap() = 0;
    // A copy of one format's data and the kind of handle it came in (see
    // FormatData); nothing when the data cannot be got, as when its owner
    // does not render it. Reads the clipboard only. Throws (std::bad_alloc,
    // std::length_error) when the copy cannot be held in memory, and
    // (std::runtime_error, saying why) for the bitmap (format 2) when the DIB
    // the system would make it from does not fit its block: that bitmap is
    // never asked for.
    virtual std::optional<FormatData> CopyFormatData(unsigned format) = 0;

    // Needs no open clipboard: the process that made a window and the file
    // name of its program.
    virtual OwnerProgram ProgramOf(WindowHandle window) = 0;
    // The same with the program's file name read wide, as UTF-8.
    virtual OwnerProgram ProgramOfUtf8(WindowHandle window) = 0;
};

// The clipboard opened for `owner`, and closed again on every path out of
// the scope (if it was opened).
class OpenClipboardScope {
  public:
    OpenClipboardScope(ClipboardService& clipboard, WindowHandle owner)
        : clipboard_(clipboard), opened_(clipboard.Open(owner)) {}
    ~OpenClipboardScope() {
        if (opened_) clipboard_.Close();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool Opened() const { return opened_; }

  private:
    ClipboardService& clipboard_;
    bool opened_;
};

}  // namespace norvane
