#include "reader/win32_reader_process.h"

#include <cstdio>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "reader/reading_message.h"
#include "util/error_number.h"

namespace norvane {
namespace {

// How often a reading under way asks whether it is still wanted.
constexpr DWORD kCancelCheckMs = 20;
// How long a reading no longer wanted may still take before its reader is ended.
constexpr DWORD kCancelGraceMs = 200;
// The most memory the reader may take: a 32-bit process gets no more anyway.
constexpr SIZE_T kReaderMemory = SIZE_T{1} << 30;

FormatReading Failed(std::string failure) {
    FormatReading reading;
    reading.outcome = ReadOutcome::Failed;
    reading.failure = std::move(failure);
    return reading;
}

std::wstring ThisProgram() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}

// A job that ends the reader when the program ends (also when it is
// killed: its last handle closes), lets it start no process, limits its
// memory and ends it on a crash without asking anybody. A system that
// refuses part of that keeps what it takes.
UniqueKernelHandle ReaderJob() {
    UniqueKernelHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    auto& basic = limits.BasicLimitInformation;
    basic.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                       JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION |
                       JOB_OBJECT_LIMIT_ACTIVE_PROCESS | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    basic.ActiveProcessLimit = 1;
    limits.ProcessMemoryLimit = kReaderMemory;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits)) {
        basic.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    return job;
}

}  // namespace

std::string ReaderProcess::StoppedText(DWORD exitCode) {
    char text[64];
    if (exitCode >= 0xC0000000)
        std::snprintf(text, sizeof text, "the reader stopped (exception 0x%08lX)",
                      static_cast<unsigned long>(exitCode));
    else
        std::snprintf(text, sizeof text, "the reader stopped (exit code %lu)",
                      static_cast<unsigned long>(exitCode));
    return text;
}

// Starts the reader suspended, gives it its channel and its job, then lets
// it run; the failure, if it could not.
std::string ReaderProcess::Start() {
    const std::wstring program = ThisProgram();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &started))
        return "the reader could not be started (" + ErrorNumberText(GetLastError()) + ")";
    process_.reset(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    processId_ = started.dwProcessId;
    job_ = ReaderJob();
    if (job_) AssignProcessToJobObject(job_.get(), process_.get());
    mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(ReaderChannel),
                                      ReaderChannelName(processId_, "").c_str()));
    request_.reset(
        CreateEventA(nullptr, FALSE, FALSE, ReaderChannelName(processId_, ".request").c_str()));
    answer_.reset(
        CreateEventA(nullptr, FALSE, FALSE, ReaderChannelName(processId_, ".answer").c_str()));
    channel_ =
        mapping_
            ? static_cast<ReaderChannel*>(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0))
            : nullptr;
    if (!channel_ || !request_ || !answer_) {
        const std::string failure =
            "the reader could not be started (" + ErrorNumberText(GetLastError()) + ")";
        End();
        return failure;
    }
    channel_->programId = GetCurrentProcessId();
    ResumeThread(thread.get());
    return {};
}

void ReaderProcess::End() {
    if (process_) {
        // The system closes the clipboard a reader it ends held open.
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    if (channel_) UnmapViewOfFile(channel_);
    channel_ = nullptr;
    for (UniqueKernelHandle* handle : {&process_, &mapping_, &request_, &answer_, &job_})
        handle->reset();
    processId_ = 0;
}

FormatReading ReaderProcess::Read(unsigned format, const std::function<bool()>& cancelled) {
    std::optional<FormatReading> reading;
    const std::string failure =
        Ask(ReaderRequest::Format, format, cancelled, [&](std::span<const std::uint8_t> answer) {
            reading = ReadReadingMessage(answer);
            return reading.has_value();
        });
    return failure.empty() ? std::move(*reading) : Failed(failure);
}

ClipboardSnapshot ReaderProcess::ReadAll(const std::function<bool()>& cancelled) {
    return AskSnapshot(ReaderRequest::Clipboard, 0, cancelled);
}

ClipboardSnapshot ReaderProcess::ReadForViewer(bool text, bool picture,
                                               const std::function<bool()>& cancelled) {
    return AskSnapshot(ReaderRequest::Viewer, (text ? 1 : 0) | (picture ? 2 : 0), cancelled);
}

ClipboardSnapshot ReaderProcess::AskSnapshot(ReaderRequest kind, unsigned format,
                                             const std::function<bool()>& cancelled) {
    std::optional<ClipboardSnapshot> snapshot;
    const std::string failure =
        Ask(kind, format, cancelled, [&](std::span<const std::uint8_t> answer) {
            snapshot = ReadSnapshotMessage(answer);
            return snapshot.has_value();
        });
    return failure.empty() ? std::move(*snapshot) : ClipboardSnapshot{Failed(failure), {}};
}

std::string ReaderProcess::Ask(ReaderRequest kind, unsigned format,
                               const std::function<bool()>& cancelled, const Take& take) {
    if (!process_)
        if (std::string failure = Start(); !failure.empty()) return failure;
    channel_->kind = kind;
    channel_->format = format;
    channel_->request = ++requests_;
    SetEvent(request_.get());
    const HANDLE waits[] = {answer_.get(), process_.get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kCancelCheckMs);
        if (woke == WAIT_OBJECT_0) return TakeAnswer(take);
        if (woke == WAIT_OBJECT_0 + 1) {
            DWORD code = 0;
            GetExitCodeProcess(process_.get(), &code);
            End();
            return StoppedText(code);
        }
        if (cancelled && cancelled()) {
            // A reading about to end is let end, and the reader kept for the
            // next one (a clipboard that keeps changing cancels each reading);
            // else it is ended, and the system closes the clipboard it held.
            if (WaitForMultipleObjects(2, waits, FALSE, kCancelGraceMs) != WAIT_OBJECT_0) End();
            return "the reading was stopped";
        }
    }
}

// The answer, checked whole before it is taken.
std::string ReaderProcess::TakeAnswer(const Take& take) {
    const auto garbage = [this] {
        End();
        return std::string("the reader's answer is not a reading");
    };
    if (channel_->answered != requests_) return garbage();
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(process_.get(), reinterpret_cast<HANDLE>(channel_->answer),
                         GetCurrentProcess(), &duplicate, FILE_MAP_READ, FALSE, 0))
        return garbage();
    const UniqueKernelHandle section(duplicate);
    const std::uint32_t size = channel_->answerSize;
    const void* view = MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return "there is not enough memory for a copy of its data";
    MEMORY_BASIC_INFORMATION mapped{};
    bool taken = false;
    try {
        taken = VirtualQuery(view, &mapped, sizeof mapped) && mapped.RegionSize >= size &&
                take({static_cast<const std::uint8_t*>(view), size});
    } catch (const std::bad_alloc&) {
        UnmapViewOfFile(view);
        return "there is not enough memory for a copy of its data";
    }
    UnmapViewOfFile(view);
    return taken ? std::string() : garbage();
}

}  // namespace norvane
