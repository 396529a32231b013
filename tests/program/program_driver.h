// Drives Orvela.exe from a second process: copies it into a folder of its own (so its data
// folder is fresh), starts it, and finds its windows and message boxes.
#pragma once
#include <windows.h>

#include <string>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela::testing {

struct RunningProgram {
  UniqueHandle process;
  DWORD pid = 0;
};

// A fresh folder under the prefix's temp folder with a copy of the built program in it.
std::string InstallProgramCopy(const std::string& name);
RunningProgram StartProgram(const std::string& exe);
// The first visible top-level window of the process with that class ("#32770" for a
// message box); nullptr when none appeared within the time.
HWND WaitForWindow(DWORD pid, const wchar_t* window_class, int timeout_ms = 15000);
std::string WindowText(HWND window);
// The text of a message box.
std::string MessageBoxText(HWND box);
// Presses a button of a dialog the way a user would (posted, never sent).
void PressButton(HWND dialog, int id);
// The exit code, or STILL_ACTIVE when the process did not end within the time.
DWORD WaitForExit(const RunningProgram& program, int timeout_ms = 15000);

}  // namespace orvela::testing
