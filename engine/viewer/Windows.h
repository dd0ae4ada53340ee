#pragma once
// The library's windows, used by LoadEditor when the caller gives a parent window. The parent
// is one of the program's QWidgets; without a running QApplication on this thread, or with a
// parent that is no widget of it, nothing is shown.

#include <string>

#include "library/EditorCalls.h"

// The optimise call with a progress window: best plan so far, and a stop button that ends the
// search and keeps that plan.
std::string RunOptimiseWithProgress(void* parent, const std::string& inputPath, const EditorOptions& options,
                                    EditorStatus& status);

// The layout viewer of a result file: every pattern to scale, printing and PDF export.
void ShowLayoutViewer(void* parent, const std::string& resultPath);

// True when windows can be shown on this thread.
bool WindowsAvailable(void* parent);
