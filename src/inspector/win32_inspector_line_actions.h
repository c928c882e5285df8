// The format list's line actions as the inspector gives them: "Inspect..."
// opens the format inspector, made on first use and owned by the list;
// "Save As..." reads the format and saves it; "Save All Formats..." saves
// every format in a folder of its own.
#pragma once

#include <memory>

#include "clipboard/format_line_actions.h"

namespace norvane {

std::unique_ptr<FormatLineActions> MakeInspectorLineActions(const FormatListContext& list);

}  // namespace norvane
