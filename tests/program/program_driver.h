// Drives Orvela.exe from a second process: copies it into a folder of its own (so its data
// folder is fresh), starts it, and finds its windows and message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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
// Ends the process at once, the way a crash or a power cut would: nothing of the program
// runs. True when it has ended (also when it had ended before).
bool KillProgram(const RunningProgram& program);
// Returns once the program waits for input (its message loop is idle), or after the time.
void WaitUntilIdle(const RunningProgram& program, int timeout_ms = 15000);

// Checks the condition every 100 ms; false when it did not hold within the time.
bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = 15000);
// The control with that id among the window's children at any depth; nullptr when none.
HWND FindControl(HWND window, int id);
// Clicks a button of a dialog or message box (BM_CLICK, posted).
void ClickButton(HWND dialog, int id);
// What a control reports to its window (WM_COMMAND with its id, the code and its handle),
// posted to the top-level window as the control's parent would pass it on.
void PostControlCommand(HWND window, HWND control, int code);
// A menu command as the menu sends it (WM_COMMAND without a control), posted.
void PostMenuCommand(HWND window, UINT id);
// A message sent to a window of another process; `failed` (the default) when it did not
// answer within the time.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT failed = -1);

// What the screen shows inside a rectangle, as a person sees it.
struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top row first
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Picture Grab(const RECT& rect);
Picture Grab(HWND window);  // the window's rectangle on the screen
// Saves the picture as a 24-bit bitmap in build/screenshots, for a person to look at.
void SaveScreenshot(const Picture& picture, const std::string& name);

}  // namespace orvela::testing
