#include "inspector/win32_formatted_view.h"

#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "ui/form.h"
#include "ui/guard.h"
#include "util/error_number.h"

namespace norvane {
namespace {

constexpr char kViewClass[] = "TFormattedView";
constexpr char kThreadClass[] = "TFormattedViewThread";
// To the view's thread: a box filled, its lParam for Take.
constexpr UINT kFilledMessage = WM_APP + 1;
// To the box's thread: a job to fill a box (lParam), a box to destroy
// (lParam), the thread's end.
constexpr UINT kFillMessage = WM_APP + 1;
constexpr UINT kDestroyMessage = WM_APP + 2;
constexpr UINT kEndMessage = WM_APP + 3;

// " (error 0x80070026)", or nothing for no error.
std::string ErrorText(DWORD error) {
    return error ? " (" + ErrorNumberText(error) + ")" : "";
}

}  // namespace

// What the two threads share; the box's thread holds it too.
struct FormattedView::State {
    std::mutex lock;
    std::condition_variable started;
    HWND view = nullptr;    // null once the view is gone: nothing more is posted
    HWND thread = nullptr;  // the box's thread's window, once made
    bool failed = false;    // that window could not be made
    std::atomic<unsigned> current{0};
    std::vector<Filled*> posted;  // posted, not yet taken
    std::vector<HWND> boxes;      // the box's thread's own
};

struct FormattedView::Job {
    unsigned generation;
    std::span<const std::uint8_t> rtf;
    std::shared_ptr<const void> keep;
    HFONT font;
    SIZE size;
};

struct FormattedView::Filled {
    unsigned generation;
    HWND box;
    LRESULT characters;
    DWORD error;  // the box's, or 0
};

namespace {

// What the box streams in, piece by piece, until the filling is cancelled.
struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at;
    const std::atomic<unsigned>& current;
    unsigned generation;
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<Source*>(cookie);
    *given = 0;
    if (source->current.load() != source->generation) return 1;  // stops the stream
    const std::size_t count = std::min(source->bytes.size() - source->at,
                                       static_cast<std::size_t>(std::max<LONG>(wanted, 0)));
    std::memcpy(buffer, source->bytes.data() + source->at, count);
    source->at += count;
    *given = static_cast<LONG>(count);
    return 0;
}

}  // namespace

FormattedView::FormattedView(MessageDialog& messages, HWND parent, const RECT& bounds, HFONT font)
    : messages_(messages),
      parent_(parent),
      bounds_(bounds),
      font_(font),
      state_(std::make_shared<State>()) {
    LoadRichEditLibraryOnce();
    RegisterClassOnce(kViewClass, nullptr);
    Create(kViewClass, "", 0, 0, RECT{}, HWND_MESSAGE, nullptr);
    state_->view = Handle();
}

FormattedView::~FormattedView() {
    Clear();
    HWND thread = nullptr;
    {
        const std::lock_guard lock(state_->lock);
        state_->view = nullptr;
        // Their boxes, never shown, go with the thread's end.
        for (Filled* filled : state_->posted) delete filled;
        state_->posted.clear();
        thread = state_->thread;
    }
    if (!thread_.joinable()) return;
    // A filling under way stops at its next piece; no box of the thread is
    // a child of a window of this one, so its end waits for nothing here.
    if (thread) PostMessageA(thread, kEndMessage, 0, 0);
    thread_.join();
}

bool FormattedView::SetRtf(std::span<const std::uint8_t> rtf, std::shared_ptr<const void> keep) {
    Clear();
    if (!thread_.joinable()) {
        thread_ = std::thread(&FormattedView::Run, state_);
        std::unique_lock lock(state_->lock);
        state_->started.wait(lock, [&] { return state_->thread || state_->failed; });
    }
    auto job =
        std::make_unique<Job>(Job{++state_->current,
                                  rtf,
                                  std::move(keep),
                                  font_,
                                  {bounds_.right - bounds_.left, bounds_.bottom - bounds_.top}});
    if (!state_->thread ||
        !PostMessageA(state_->thread, kFillMessage, 0, reinterpret_cast<LPARAM>(job.get())))
        return false;
    job.release();
    working_ = true;
    return true;
}

void FormattedView::Clear() {
    ++state_->current;  // a filling under way stops, its box is never shown
    working_ = false;
    if (!box_) return;
    // Parted from this thread's windows before its own thread destroys it.
    ShowWindow(box_, SW_HIDE);
    SetParent(box_, nullptr);
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(box_, nullptr), FALSE);
    PostMessageA(state_->thread, kDestroyMessage, 0, reinterpret_cast<LPARAM>(box_));
    box_ = nullptr;
}

void FormattedView::SetBounds(const RECT& bounds) {
    bounds_ = bounds;
    Place();
}

void FormattedView::SetVisible(bool visible) {
    visible_ = visible;
    Place();
}

void FormattedView::Place() {
    if (!box_) return;
    SetWindowPos(box_, HWND_TOP, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                 bounds_.bottom - bounds_.top,
                 SWP_NOACTIVATE | (visible_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void FormattedView::Take(LPARAM posted) {
    std::unique_ptr<Filled> filled;
    {
        const std::lock_guard lock(state_->lock);
        auto& list = state_->posted;
        const auto at = std::find(list.begin(), list.end(), reinterpret_cast<Filled*>(posted));
        if (at == list.end()) return;
        filled.reset(*at);
        list.erase(at);
    }
    const bool current = filled->generation == state_->current.load();
    if (!current || filled->characters <= 0) {
        PostMessageA(state_->thread, kDestroyMessage, 0, reinterpret_cast<LPARAM>(filled->box));
        if (!current) return;
        working_ = false;
        if (report_)
            report_({false,
                     "\r\nThe formatted view is not shown: the rich edit box read nothing "
                     "of the RTF" +
                         ErrorText(filled->error) + "."});
        return;
    }
    working_ = false;
    box_ = filled->box;
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(box_, GWL_STYLE));
    SetWindowLongPtrA(box_, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD | WS_TABSTOP);
    SetParent(box_, parent_);
    // A child shares its parent's input, its focus and keys, as the system
    // joins them for a child of another thread (said here, for systems that do not).
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(box_, nullptr), TRUE);
    Place();
    if (report_)
        report_({true, filled->error ? "\r\nThe rich edit box stopped reading the RTF early" +
                                           ErrorText(filled->error) + "."
                                     : ""});
}

LRESULT FormattedView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kFilledMessage) return Window::OnMessage(message, wParam, lParam);
    RunGuarded(messages_, [&] { Take(lParam); });
    return 0;
}

// A box made hidden and without a parent, filled with the job's RTF, then
// handed to the view; destroyed here when the view no longer wants it.
void FormattedView::Fill(State& state, std::unique_ptr<Job> job) {
    if (state.current.load() != job->generation) return;
    HWND box = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, RICHEDIT_CLASSA, "",
                               WS_POPUP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                               0, 0, job->size.cx, job->size.cy, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    auto filled = std::make_unique<Filled>(Filled{job->generation, box, 0, GetLastError()});
    if (box) {
        state.boxes.push_back(box);
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(job->font), FALSE);
        SendMessageA(box, EM_SETTEXTMODE, TM_RICHTEXT, 0);
        SendMessageA(box, EM_EXLIMITTEXT, 0,
                     static_cast<LPARAM>(std::max<std::size_t>(job->rtf.size() + 1, 32767)));
        Source source{job->rtf, 0, state.current, job->generation};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadPiece};
        filled->characters =
            SendMessageA(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        filled->error = stream.dwError;
    }
    job.reset();  // its share of the RTF may be the last: it goes here
    const std::lock_guard lock(state.lock);
    // Posted while the lock is held: the view, which clears `view` under
    // it, never gets a box after it said it would take none. A box that
    // could not be made is posted too, to be said so.
    if (state.view && state.current.load() == filled->generation &&
        PostMessageA(state.view, kFilledMessage, 0, reinterpret_cast<LPARAM>(filled.get()))) {
        state.posted.push_back(filled.release());
        return;
    }
    if (box && std::erase(state.boxes, box)) DestroyWindow(box);
}

LRESULT CALLBACK FormattedView::ThreadProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!state) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case kFillMessage:
            Fill(*state, std::unique_ptr<Job>(reinterpret_cast<Job*>(lParam)));
            return 0;
        case kDestroyMessage:
            if (std::erase(state->boxes, reinterpret_cast<HWND>(lParam)))
                DestroyWindow(reinterpret_cast<HWND>(lParam));
            return 0;
        case kEndMessage:
            for (HWND box : state->boxes) DestroyWindow(box);
            state->boxes.clear();
            DestroyWindow(window);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The box's thread: its window takes the jobs; its loop answers the boxes,
// and keeps every key that would copy from them.
void FormattedView::Run(std::shared_ptr<State> state) {
    WNDCLASSA type{};
    type.lpfnWndProc = &FormattedView::ThreadProc;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = kThreadClass;
    RegisterClassA(&type);  // once per process; later threads find it made
    HWND window = CreateWindowExA(0, kThreadClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
    {
        const std::lock_guard lock(state->lock);
        state->thread = window;
        state->failed = !window;
    }
    state->started.notify_all();
    if (!window) return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.hwnd != window && IsCopyKey(message.wParam))
            continue;  // the boxes put nothing on the clipboard
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace norvane
