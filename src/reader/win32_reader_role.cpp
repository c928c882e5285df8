#include "reader/win32_reader_role.h"

#include "clipboard/win32_clipboard_service.h"
#include "reader/format_reading.h"
#include "reader/reading_message.h"
#include "reader/win32_reader_channel.h"
#include "ui/handles.h"

namespace norvane {
namespace {

constexpr char kReaderClass[] = "TNorvaneReader";

// A crash inside another program's data ends the reader at once with the
// exception's code, which the program reports; no box asks anybody.
LONG WINAPI EndWithTheException(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The copies of a whole clipboard hold at most this much: the answer
// holds them again, within the reader's own limit of memory.
constexpr std::uint64_t kMostSnapshotBytes = kMostCopiedBytes / 2;

FormatReading TooLarge() {
    FormatReading reading;
    reading.outcome = ReadOutcome::Failed;
    reading.failure = "its data is larger than 4 GB";
    return reading;
}

// A section of its own holding the answer, written by `write` in place.
template <class Write>
UniqueKernelHandle Section(std::uint32_t size, Write&& write) {
    UniqueKernelHandle section(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, nullptr));
    if (!section) return section;
    void* view = MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, size);
    if (!view) return {};
    write(std::span(static_cast<std::uint8_t*>(view), size));
    UnmapViewOfFile(view);
    return section;
}

// The answer to one request, and its size.
UniqueKernelHandle Answer(const ReaderChannel& channel, ClipboardService& clipboard, HWND window,
                          std::uint32_t& size) {
    if (channel.kind != ReaderRequest::Format) {
        ClipboardSnapshot snapshot =
            channel.kind == ReaderRequest::Clipboard
                ? CopyAllFormats(clipboard, window, kMostSnapshotBytes)
                : CopyForViewer(clipboard, window, channel.format & 1, channel.format & 2);
        if (!SnapshotMessageSize(snapshot)) snapshot = {TooLarge(), {}};
        size = *SnapshotMessageSize(snapshot);
        return Section(size,
                       [&](std::span<std::uint8_t> out) { WriteSnapshotMessage(snapshot, out); });
    }
    FormatReading reading = ReadFormat(clipboard, channel.format, window);
    if (!ReadingMessageSize(reading)) reading = TooLarge();
    size = *ReadingMessageSize(reading);
    return Section(size, [&](std::span<std::uint8_t> out) { WriteReadingMessage(reading, out); });
}

int Serve(ReaderChannel& channel, HANDLE request, HANDLE answered, HANDLE program) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReaderClass;
    RegisterClassA(&windowClass);
    // The journal sees the reader's hold of the clipboard by this window.
    const HWND window = CreateWindowExA(0, kReaderClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
    Win32ClipboardService clipboard;
    UniqueKernelHandle last;  // the answer before, taken by the program once it asks again
    const HANDLE waits[] = {request, program};
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(2, waits, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_FAILED) return 0;  // the program ended
        if (woke == WAIT_OBJECT_0 + 2) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            continue;
        }
        last.reset();
        const std::uint32_t number = channel.request;
        std::uint32_t size = 0;
        last = Answer(channel, clipboard, window, size);
        channel.answer = reinterpret_cast<std::uintptr_t>(last.get());
        channel.answerSize = size;
        channel.answered = number;
        SetEvent(answered);
    }
}

}  // namespace

std::optional<int> RunAsReaderIfAsked() {
    const DWORD self = GetCurrentProcessId();
    UniqueKernelHandle mapping(
        OpenFileMappingA(FILE_MAP_WRITE, FALSE, ReaderChannelName(self, "").c_str()));
    if (!mapping) return std::nullopt;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(&EndWithTheException);
    auto* channel = static_cast<ReaderChannel*>(
        MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(ReaderChannel)));
    const UniqueKernelHandle request(
        OpenEventA(SYNCHRONIZE, FALSE, ReaderChannelName(self, ".request").c_str()));
    const UniqueKernelHandle answered(
        OpenEventA(EVENT_MODIFY_STATE, FALSE, ReaderChannelName(self, ".answer").c_str()));
    const UniqueKernelHandle program(channel ? OpenProcess(SYNCHRONIZE, FALSE, channel->programId)
                                             : nullptr);
    if (!channel || !request || !answered || !program) return 3;
    return Serve(*channel, request.get(), answered.get(), program.get());
}

}  // namespace norvane
