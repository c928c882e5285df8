// A worker thread for the inspector's work whose cost depends on what
// another program put on the clipboard (reading a format out of it,
// decoding a picture, playing a metafile), so that the window's thread
// only answers. The work holds what it needs; once done it is posted back
// to the window, which then owns it. Each start cancels the work before
// it: a result whose generation is no longer the current one is never
// handed out, and work under way sees the cancel between its steps.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace norvane {

// Whether the work under way is no longer wanted (a newer start, a cancel
// or the worker's end); the work asks between its steps.
class WorkCancel {
  public:
    WorkCancel(const std::atomic<unsigned>& current, unsigned generation)
        : current_(current), generation_(generation) {}
    bool operator()() const { return current_.load() != generation_; }

  private:
    const std::atomic<unsigned>& current_;
    unsigned generation_;
};

// One piece of work and, once run, its result.
class WorkItem {
  public:
    virtual ~WorkItem() = default;
    // On the worker thread; an exception ends the work with `failed`.
    virtual void Run(const WorkCancel& cancelled) = 0;

    unsigned generation = 0;
    bool failed = false;
};

class Worker {
  public:
    // Work done is posted to `window` as `message`, its lParam for Take.
    Worker(HWND window, UINT message);
    // Cancels what is under way and waits a little for the thread; one
    // still inside a step that cannot be cancelled (a decoder's call, an
    // owner rendering) is left to end on its own and drops its result, until
    // the program's end waits for it (EndLeftWorkers). Results posted and
    // not taken go with the worker.
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Cancels the work before and queues `work`, whose generation it sets.
    void Start(std::unique_ptr<WorkItem> work);
    // Cancels the work queued or under way.
    void Cancel();
    // The work posted as `posted`, now the caller's; null when it is not
    // this worker's, was taken already or is no longer current (then dropped).
    std::unique_ptr<WorkItem> Take(LPARAM posted);
    // Whether work is queued, under way or posted and not yet taken.
    bool Busy() const;

    // At the program's end, before what the work refers to goes (the
    // clipboard service): waits up to `wait` for the threads of workers
    // gone that were left to end alone. False when one still runs; the
    // program must then end without freeing what it could still touch.
    static bool EndLeftWorkers(std::chrono::milliseconds wait);

    // What the window's thread and the worker's share.
    struct State;

  private:
    static void Loop(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::thread thread_;  // made at the first start
};

}  // namespace norvane
