#include "reader/format_reading.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "clipboard/clipboard_picture.h"

namespace norvane {

void ReadOwner(ClipboardService& clipboard, FormatReading& reading) {
    const WindowHandle owner = clipboard.Owner();
    reading.hasOwner = owner != nullptr;
    reading.ownerClass = clipboard.WindowClassName(owner);
    if (owner) reading.program = clipboard.ProgramOf(owner);
}

void ReadHolder(ClipboardService& clipboard, FormatReading& reading) {
    reading.outcome = ReadOutcome::ClipboardHeld;
    const WindowHandle holder = clipboard.OpenClipboardWindow();
    reading.hasHolder = holder != nullptr;
    if (holder) {
        reading.holderClass = clipboard.WindowClassName(holder);
        reading.holderProgram = clipboard.ProgramOf(holder);
    }
}

namespace {

void CopyOut(ClipboardService& clipboard, unsigned format, FormatReading& reading) {
    try {
        auto data = clipboard.CopyFormatData(format);
        if (!data) {
            reading.outcome = ReadOutcome::NotRendered;
            return;
        }
        reading.data = std::move(*data);
        reading.outcome = ReadOutcome::Read;
    } catch (const std::bad_alloc&) {
        reading.outcome = ReadOutcome::Failed;
        reading.failure = "there is not enough memory for a copy of its data";
    } catch (const std::exception& error) {
        reading.outcome = ReadOutcome::Failed;
        reading.failure = error.what();
    }
}

}  // namespace

void CopyFormat(ClipboardService& clipboard, unsigned format, FormatReading& reading) {
    const auto start = std::chrono::steady_clock::now();
    CopyOut(clipboard, format, reading);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    reading.readMs = static_cast<std::uint32_t>(
        std::min<std::chrono::milliseconds::rep>(took.count(), UINT32_MAX));
}

FormatReading ReadFormat(ClipboardService& clipboard, unsigned format, WindowHandle window) {
    FormatReading reading;
    OpenClipboardScope open(clipboard, window);
    // The owner of the data copied: read while the clipboard is open, so
    // that no other program can put its own in between.
    ReadOwner(clipboard, reading);
    if (!open.Opened()) {
        ReadHolder(clipboard, reading);
        return reading;
    }
    if (!clipboard.IsFormatAvailable(format)) {
        reading.outcome = ReadOutcome::FormatGone;
        return reading;
    }
    CopyFormat(clipboard, format, reading);
    return reading;
}

namespace {

// The clipboard opened once: its owner, then what `copy` copies into the
// snapshot; the outcome ClipboardHeld, with who holds it, when it could
// not be opened.
template <class Copy>
ClipboardSnapshot CopiedAtOneOpen(ClipboardService& clipboard, WindowHandle window, Copy&& copy) {
    ClipboardSnapshot snapshot;
    const OpenClipboardScope open(clipboard, window);
    ReadOwner(clipboard, snapshot.clipboard);
    if (open.Opened())
        copy(snapshot);
    else
        ReadHolder(clipboard, snapshot.clipboard);
    return snapshot;
}

}  // namespace

ClipboardSnapshot CopyAllFormats(ClipboardService& clipboard, WindowHandle window,
                                 std::uint64_t mostBytes) {
    return CopiedAtOneOpen(clipboard, window, [&](ClipboardSnapshot& snapshot) {
        std::uint64_t held = 0;
        for (unsigned format = clipboard.EnumFormats(0); format != 0;
             format = clipboard.EnumFormats(format)) {
            CopiedFormat& copied = snapshot.formats.emplace_back();
            copied.format = format;
            copied.registeredName = clipboard.FormatName(format);
            copied.reading = snapshot.clipboard;
            if (held >= mostBytes) {
                copied.reading.outcome = ReadOutcome::Failed;
                copied.reading.failure = "the formats before it took " + std::to_string(held) +
                                         " bytes, as much as one save holds at once";
                continue;
            }
            CopyFormat(clipboard, format, copied.reading);
            held += copied.reading.data.bytes.size();
        }
    });
}

ClipboardSnapshot CopyForViewer(ClipboardService& clipboard, WindowHandle window, bool text,
                                bool picture) {
    return CopiedAtOneOpen(clipboard, window, [&](ClipboardSnapshot& snapshot) {
        bool gotText = false;
        if (text) {
            CopiedFormat& copied = snapshot.formats.emplace_back();
            copied.format = kUnicodeTextFormat;
            copied.reading.outcome = ReadOutcome::NotRendered;
            try {
                if (const auto copiedText = clipboard.CopyText()) {
                    const auto* bytes = reinterpret_cast<const std::uint8_t*>(copiedText->data());
                    copied.reading.data.bytes.assign(bytes, bytes + copiedText->size() * 2);
                    copied.reading.outcome = ReadOutcome::Read;
                    gotText = true;
                }
            } catch (const std::bad_alloc&) {
                copied.reading.outcome = ReadOutcome::Failed;
                copied.reading.failure = "there is not enough memory for a copy of its data";
            }
        }
        if (picture && (gotText || !text)) {
            CopiedFormat& copied = snapshot.formats.emplace_back();
            const unsigned dib = PlacedDibFormat(clipboard);
            copied.format = dib ? dib : kBitmapFormat;
            CopyFormat(clipboard, copied.format, copied.reading);
        }
    });
}

}  // namespace norvane
