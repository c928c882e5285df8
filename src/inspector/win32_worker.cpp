#include "inspector/win32_worker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "ui/com_ptr.h"

namespace norvane {
namespace {

// How long the window's thread waits for the worker to end: a cancelled
// metafile stops within a few records; a decoder's call is left to end alone.
constexpr auto kEndWait = std::chrono::milliseconds(250);

}  // namespace

// What the window's thread and the worker share; the worker holds it too,
// so a worker left to end alone never touches what the window has freed.
struct Worker::State {
    std::mutex lock;
    std::condition_variable changed;
    HWND window = nullptr;  // null once the worker is told to end: nothing more is posted
    UINT message = 0;
    std::unique_ptr<WorkItem> next;
    std::vector<WorkItem*> posted;  // posted, not yet taken
    std::atomic<unsigned> current{0};
    bool running = false;
    bool quit = false;
    bool ended = false;
};

namespace {

// The threads of workers gone that were left to end alone, each with what
// it shares. Joined at the program's end when they have ended; a thread
// still running then is detached, for the process's end to stop.
class LeftThreads {
  public:
    struct Left {
        std::thread thread;
        std::shared_ptr<Worker::State> state;
    };
    ~LeftThreads() {
        for (Left& left : left_) left.thread.detach();
    }
    void Add(Left left) {
        const std::lock_guard lock(lock_);
        left_.push_back(std::move(left));
    }
    std::vector<Left> Take() {
        const std::lock_guard lock(lock_);
        return std::exchange(left_, {});
    }

  private:
    std::mutex lock_;
    std::vector<Left> left_;
};

LeftThreads& Left() {
    static LeftThreads left;
    return left;
}

}  // namespace

Worker::Worker(HWND window, UINT message) : state_(std::make_shared<State>()) {
    state_->window = window;
    state_->message = message;
}

Worker::~Worker() {
    std::unique_lock lock(state_->lock);
    state_->quit = true;
    state_->window = nullptr;
    state_->next.reset();
    ++state_->current;
    for (WorkItem* work : state_->posted) delete work;
    state_->posted.clear();
    state_->changed.notify_all();
    if (!thread_.joinable()) return;
    const bool ended = state_->changed.wait_for(lock, kEndWait, [&] { return state_->ended; });
    lock.unlock();
    if (ended)
        thread_.join();
    else
        Left().Add({std::move(thread_), state_});
}

bool Worker::EndLeftWorkers(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool allEnded = true;
    for (LeftThreads::Left& left : Left().Take()) {
        std::unique_lock lock(left.state->lock);
        const bool ended =
            left.state->changed.wait_until(lock, deadline, [&] { return left.state->ended; });
        lock.unlock();
        if (ended) {
            left.thread.join();
        } else {
            allEnded = false;
            Left().Add(std::move(left));
        }
    }
    return allEnded;
}

void Worker::Start(std::unique_ptr<WorkItem> work) {
    const std::lock_guard lock(state_->lock);
    work->generation = ++state_->current;
    state_->next = std::move(work);
    if (!thread_.joinable()) thread_ = std::thread(&Worker::Loop, state_);
    state_->changed.notify_all();
}

void Worker::Cancel() {
    const std::lock_guard lock(state_->lock);
    ++state_->current;
    state_->next.reset();
}

std::unique_ptr<WorkItem> Worker::Take(LPARAM posted) {
    const std::lock_guard lock(state_->lock);
    auto& list = state_->posted;
    const auto at = std::find(list.begin(), list.end(), reinterpret_cast<WorkItem*>(posted));
    if (at == list.end()) return nullptr;
    std::unique_ptr<WorkItem> work(*at);
    list.erase(at);
    if (work->generation != state_->current.load()) return nullptr;
    return work;
}

bool Worker::Busy() const {
    const std::lock_guard lock(state_->lock);
    return state_->next || state_->running || !state_->posted.empty();
}

void Worker::Loop(std::shared_ptr<State> state) {
    // The imaging components are made, used and released on this thread.
    const ComLibrary com;
    std::unique_lock lock(state->lock);
    for (;;) {
        state->changed.wait(lock, [&] { return state->quit || state->next; });
        if (state->quit) break;
        std::unique_ptr<WorkItem> work = std::move(state->next);
        state->running = true;
        lock.unlock();
        const WorkCancel cancelled(state->current, work->generation);
        if (!cancelled()) {
            try {
                work->Run(cancelled);
            } catch (...) {
                work->failed = true;
            }
        }
        lock.lock();
        state->running = false;
        // Posted while the lock is held: the window, which clears `window`
        // under it, never gets a result after it said it would take none.
        if (state->window && !cancelled() &&
            PostMessageA(state->window, state->message, 0, reinterpret_cast<LPARAM>(work.get())))
            state->posted.push_back(work.release());
    }
    state->ended = true;
    state->changed.notify_all();
}

}  // namespace norvane
