#include "program_driver.h"

#include <vector>

#include "platform/folders_win.h"

#ifndef ORVELA_EXE_DIR
#error "ORVELA_EXE_DIR names the folder of the built Orvela.exe"
#endif

namespace orvela::testing {
namespace {

struct Search {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (pid == search->pid && IsWindowVisible(window) && wcscmp(cls, search->cls) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindControlById(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ControlSearch*>(data);
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  // The edit inside an editable combo box has the id 1001 of its own: it is no control of
  // the program's.
  wchar_t parent_class[32] = {};
  GetClassNameW(GetParent(window), parent_class, 32);
  if (_wcsicmp(parent_class, L"ComboBox") == 0) return TRUE;
  search->found = window;
  return FALSE;
}

// The build folder is a Unix path; Wine sees it on drive Z:.
std::string ExeDirectory() {
  std::string dir = "Z:" ORVELA_EXE_DIR;
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir + "\\";
}

}  // namespace

std::string InstallProgramCopy(const std::string& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = Narrow(temp) + "orvela-" + name + "\\";
  SHFILEOPSTRUCTW op{};
  std::wstring from = Wide(folder.substr(0, folder.size() - 1));
  from.push_back(L'\0');
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
  CreateFolderTree(folder + "data");
  CopyFileW(Wide(ExeDirectory() + "Orvela.exe").c_str(), Wide(folder + "Orvela.exe").c_str(), FALSE);
  return folder + "Orvela.exe";
}

// Every program a test starts ends with the test's process, even when the test crashes:
// one left running would hold the single-copy mutex and refuse every later test's program.
HANDLE ProgramsJob() {
  static const HANDLE job = [] {
    const HANDLE made = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (made) SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return made;
  }();
  return job;
}

RunningProgram StartProgram(const std::string& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + Wide(exe) + L"\"";
  RunningProgram program;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                     &info)) {
    if (const HANDLE job = ProgramsJob()) AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    program.process.reset(info.hProcess);
    program.pid = info.dwProcessId;
  }
  return program;
}

HWND WaitForWindow(DWORD pid, const wchar_t* window_class, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    Search search{pid, window_class, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(100);
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  std::vector<wchar_t> text(4096, L'\0');
  GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return Narrow(text.data());
}

std::string MessageBoxText(HWND box) {
  std::vector<wchar_t> text(4096, L'\0');
  GetDlgItemTextW(box, 0xFFFF, text.data(), static_cast<int>(text.size()));
  return Narrow(text.data());
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DWORD WaitForExit(const RunningProgram& program, int timeout_ms) {
  if (WaitForSingleObject(program.process.get(), timeout_ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(program.process.get(), &code);
  return code;
}

bool KillProgram(const RunningProgram& program) {
  if (!program.process) return true;
  if (WaitForSingleObject(program.process.get(), 0) == WAIT_OBJECT_0) return true;
  TerminateProcess(program.process.get(), 1);
  return WaitForSingleObject(program.process.get(), 15000) == WAIT_OBJECT_0;
}

void WaitUntilIdle(const RunningProgram& program, int timeout_ms) {
  WaitForInputIdle(program.process.get(), static_cast<DWORD>(timeout_ms));
}

bool WaitUntil(const std::function<bool()>& condition, int timeout_ms) {
  for (int waited = 0;; waited += 100) {
    if (condition()) return true;
    if (waited >= timeout_ms) return false;
    Sleep(100);
  }
}

HWND FindControl(HWND window, int id) {
  // EnumChildWindows walks the descendants too, so controls on panels are found.
  ControlSearch search{id, nullptr};
  EnumChildWindows(window, FindControlById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ClickButton(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PostControlCommand(HWND window, HWND control, int code) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

void PostMenuCommand(HWND window, UINT id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT failed) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result)) return failed;
  return static_cast<LRESULT>(result);
}

Picture Grab(const RECT& rect) {
  Picture picture;
  picture.width = rect.right - rect.left;
  picture.height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const unsigned char*>(bits);
  for (int i = 0; i < picture.width * picture.height; ++i)
    picture.pixels.push_back(RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture Grab(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return Grab(r);
}

void SaveScreenshot(const Picture& picture, const std::string& name) {
  const int stride = (picture.width * 3 + 3) & ~3;
  std::string data;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const COLORREF c = picture.At(x, y);
      data += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c))};
    }
    data.append(static_cast<size_t>(stride - picture.width * 3), '\0');
  }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER head{};
  head.biSize = sizeof head;
  head.biWidth = picture.width;
  head.biHeight = picture.height;
  head.biPlanes = 1;
  head.biBitCount = 24;
  head.biSizeImage = static_cast<DWORD>(data.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof head;
  file.bfSize = file.bfOffBits + head.biSizeImage;
  const std::string folder = ExeDirectory() + "..\\..\\screenshots";
  CreateFolderTree(folder);
  HANDLE out = CreateFileW(Wide(folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, &file, sizeof file, &written, nullptr);
  WriteFile(out, &head, sizeof head, &written, nullptr);
  WriteFile(out, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(out);
}

}  // namespace orvela::testing
