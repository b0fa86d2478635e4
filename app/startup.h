// The life of the process: the start routine, loading the main window, the
// message loop, the orderly shutdown and the fatal error path.
#pragma once

#include "desktop/controls.h"
#include "desktop/fatal.h"

namespace vantrel {

using CleanupRoutine = void (*)();

// The program's whole life; returns the process exit code.
int RunProgram();

// Runs the program up to the end of its message loop; always 0.
int StartRoutine();
void LoadWindow(FormNumber form);
void MessageLoop();
void OrderlyShutdown(int exitCode);
void RegisterCleanupRoutine(CleanupRoutine routine);

// Called when one of the program's windows is gone: the last one ends the loop.
void WindowGone();

void ResetStartupForTesting();
// Resets every module's process-wide state, as a new process would find it.
void ResetProgramForTesting();

}  // namespace vantrel
