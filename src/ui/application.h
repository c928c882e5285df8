// Process-wide state of the user interface: the title used by the general
// error box and the task bar, and the message loops.
#pragma once

#include <windows.h>

#include <string>

namespace norvane {

const std::string& ApplicationTitle();
void SetApplicationTitle(std::string title);

// Handles one message (keyboard navigation included); false on WM_QUIT,
// which is left in the queue for the outer loop.
bool PumpMessage();

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Lets pending window messages run (repaints, input) and returns.
void ProcessPendingMessages();

}  // namespace norvane
