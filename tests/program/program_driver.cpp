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

RunningProgram StartProgram(const std::string& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + Wide(exe) + L"\"";
  RunningProgram program;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
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

}  // namespace orvela::testing
