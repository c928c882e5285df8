// RTF formatted by a rich edit box that a thread of the view's own makes
// and fills: a rich edit box takes seconds over a megabyte of RTF, which
// the window's thread never waits for. The box is made hidden and without
// a parent, filled there, and only then made a child of the view's parent
// and shown: the two threads are joined (a child and its parent share
// their input) only while the box's thread has nothing to do but answer
// its messages. Before the box goes it is parted from the parent again,
// so that its end sends nothing to the window's thread. A new text, a
// clear or the view's end cancels the filling under way, which stops at
// its next piece. The box is read-only and copies nothing to the clipboard.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

// What the view says once its box is filled: shown or not, and why.
struct FormattedReport {
    bool shown = false;
    std::string headerLines;  // each after "\r\n"
};

class FormattedView final : public Window {
  public:
    static constexpr const char* kFormattingText = "Formatting the RTF...";

    // The box takes `bounds` of `parent` and `font` (the caller's, alive
    // while the view is) when shown.
    FormattedView(MessageDialog& messages, HWND parent, const RECT& bounds, HFONT font);
    ~FormattedView() override;

    // Called whenever the box for the RTF set last is filled, or failed to be.
    void OnReport(std::function<void(const FormattedReport&)> report) {
        report_ = std::move(report);
    }
    // Formats `rtf`, which `keep` keeps alive meanwhile; the last box goes
    // at once. False when the box's thread could not be started.
    bool SetRtf(std::span<const std::uint8_t> rtf, std::shared_ptr<const void> keep);
    // Shows nothing; cancels the filling under way.
    void Clear();
    void SetBounds(const RECT& bounds);
    // Whether the box, once filled, is shown.
    void SetVisible(bool visible);
    // The box shown; null while there is none.
    HWND Box() const { return box_; }
    // Whether a box is being made or filled, or its report not yet taken.
    bool Working() const { return working_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct State;
    struct Job;
    struct Filled;
    static void Run(std::shared_ptr<State> state);
    static LRESULT CALLBACK ThreadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Fill(State& state, std::unique_ptr<Job> job);
    void Take(LPARAM posted);
    void Place();

    MessageDialog& messages_;
    HWND parent_;
    RECT bounds_;
    HFONT font_;
    bool visible_ = false;
    HWND box_ = nullptr;
    bool working_ = false;
    std::function<void(const FormattedReport&)> report_;
    std::shared_ptr<State> state_;
    std::thread thread_;  // made at the first text
};

}  // namespace norvane
