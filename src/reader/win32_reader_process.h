// The program's side of its reader process: every reading of a format from
// the system's clipboard is done in a process of its own (norvanel.exe
// again, in a job that ends it with the program and forbids it other
// processes), so that an owner that never renders, or data that crashes
// the system's code, costs that process and never the windows. A reading
// no longer wanted ends the reader at once (the system then closes the
// clipboard it held); the next reading starts a new one.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <span>
#include <string>
#include <utility>

#include "reader/format_reading.h"
#include "reader/win32_reader_channel.h"
#include "ui/application.h"
#include "ui/handles.h"

namespace norvane {

class ReaderProcess {
  public:
    ReaderProcess() = default;
    ~ReaderProcess() { End(); }
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;

    // Reads `format` in the reader, started first if none runs. Asks
    // `cancelled` every few milliseconds meanwhile; once it says so, ends
    // the reader. A reader that stops or answers garbage gives the outcome
    // Failed, saying so. On one thread at a time.
    FormatReading Read(unsigned format, const std::function<bool()>& cancelled);
    // Every format the same way; a failure is the clipboard's outcome Failed.
    ClipboardSnapshot ReadAll(const std::function<bool()>& cancelled);
    // What the viewer shows (CopyForViewer) the same way.
    ClipboardSnapshot ReadForViewer(bool text, bool picture,
                                    const std::function<bool()>& cancelled);

    // The reader's process id; 0 when none runs.
    // Safe from any thread.
    DWORD ProcessId() const { return processId_; }

    // The exit code of a reader that ended, as the failure names it:
    // "the reader stopped (exception 0xC0000005)".
    static std::string StoppedText(DWORD exitCode);

  private:
    using Take = std::function<bool(std::span<const std::uint8_t> answer)>;
    std::string Start();
    void End();
    // Asks the reader and gives its answer to `take` (false: garbage); why
    // no answer was taken.
    std::string Ask(ReaderRequest kind, unsigned format, const std::function<bool()>& cancelled,
                    const Take& take);
    std::string TakeAnswer(const Take& take);
    ClipboardSnapshot AskSnapshot(ReaderRequest kind, unsigned format,
                                  const std::function<bool()>& cancelled);

    UniqueKernelHandle job_, process_, mapping_, request_, answer_;
    ReaderChannel* channel_ = nullptr;
    std::atomic<DWORD> processId_{0};
    std::uint32_t requests_ = 0;
};

// Runs `read`, given whether it is cancelled, on a thread of its own while
// this thread's windows answer; once `stopped` (asked between their
// messages) says so, the reading is cancelled. Its result, and whether it
// was given up.
template <class Read>
auto ReadWhileAnswering(Read&& read, const std::function<bool()>& stopped) {
    std::atomic<bool> stop{false};
    auto reading = std::async(std::launch::async, [&] {
        return read(std::function<bool()>([&] { return stop.load(); }));
    });
    AnswerUntil(
        [&] { return reading.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
        [&] {
            if (stopped()) stop = true;
        });
    return std::pair(reading.get(), stop.load());
}

}  // namespace norvane
