// Process-wide state of the user interface: the title used by the general
// error box and the task bar, and the message loops.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace norvane {

const std::string& ApplicationTitle();
void SetApplicationTitle(std::string title);

// Where the loops take their next message from: GetMessageA, which returns
// 0 for WM_QUIT and -1 when it fails.
using MessageSource = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);

// Handles one message (keyboard navigation included); false on WM_QUIT,
// which is left in the queue for the outer loop, and when no message can
// be had.
bool PumpMessage(MessageSource next = GetMessageA);

// Runs until WM_QUIT; returns its exit code, or -1 when no message can be
// had.
int RunMessageLoop(MessageSource next = GetMessageA);

// Lets pending window messages run (repaints, input) and returns.
void ProcessPendingMessages();

// Lets window messages run as they come until `done`, asked every few
// milliseconds; `turn`, when given, runs between.
void AnswerUntil(const std::function<bool()>& done, const std::function<void()>& turn = {});

}  // namespace norvane
