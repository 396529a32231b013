#include "system/running_applications_win.h"

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "system/version_texts_win.h"
#include "components/shell_link_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto& windows = *reinterpret_cast<std::vector<std::uintptr_t>*>(data);
  return CollectVisibleWindow(windows, reinterpret_cast<std::uintptr_t>(window), IsWindowVisible(window) != FALSE);
}

std::vector<WindowFacts> VisibleWindows() {
  std::vector<std::uintptr_t> handles;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&handles));
  std::vector<WindowFacts> windows;
  windows.reserve(handles.size());
  for (std::uintptr_t handle : handles) {
    HWND window = reinterpret_cast<HWND>(handle);
    WindowFacts& facts = windows.emplace_back();
    facts.handle = handle;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    facts.process = process;
    facts.owned = GetWindow(window, GW_OWNER) != nullptr;
    wchar_t title[512] = {}, class_name[128] = {};
    GetWindowTextW(window, title, 512);
    GetClassNameW(window, class_name, 128);
    facts.title = Narrow(title);
    facts.class_name = Narrow(class_name);
  }
  return windows;
}

// The full path of the process's program: the call that answers for 32-bit and 64-bit
// processes alike, with only the limited right to ask (which elevated processes grant).
std::string ProgramPathOf(DWORD process) {
  UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!handle) return "";
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(handle.get(), 0, path.data(), &size)) return "";
  path.resize(size);
  return Narrow(path);
}

}  // namespace

std::vector<RunningApplication> CollectRunningApplications() {
  const std::vector<WindowFacts> windows = VisibleWindows();
  std::vector<RunningApplication> applications;
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return applications;
  const std::string system_folder = ShellFolderPath(CSIDL_SYSTEM);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    const WindowFacts* main_window = MainWindowOf(windows, entry.th32ProcessID);
    if (!main_window) continue;
    const std::string raw = ProgramPathOf(entry.th32ProcessID);
    if (raw.empty()) continue;
    const std::string path = NormaliseModulePath(raw, system_folder);
    const std::optional<VersionTexts> texts = ReadVersionTexts(path);
    applications.push_back({main_window->title, ProductNameOr(texts ? texts->product : "", path), path});
  }
  return applications;
}

}  // namespace orvela
