// What the version box tests share: a box pointed at a loopback server, a folder of their
// own, and a way to wait for the box's transfers while its messages are dispatched.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/folders_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "version/about_dialog.h"
#include "version/version_box_win.h"

namespace orvela::testing {

// Dispatches messages until the condition holds; false after the time.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

// An empty folder under the prefix's temp folder, removed with everything in it.
class TestFolder {
 public:
  explicit TestFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = Narrow(temp) + "orvela-version-" + name;
    Remove();
    CreateFolderTree(path_);
  }
  ~TestFolder() { Remove(); }
  const std::string& path() const { return path_; }  // without a trailing backslash
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(path_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = Narrow(found.cFileName);
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  void Remove() {
    std::wstring from = Wide(path_);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::string path_;
};

inline VersionBoxSettings TestBoxSettings(const std::string& site_url, const std::string& ver_str = "1277") {
  AboutDialogProperties properties = AboutDialog1Properties();
  properties.ApplicationTitle = "Orvela";
  properties.VerStr = ver_str;
  return MakeVersionBoxSettings(properties, site_url, 32);
}

// Presses "Update" and waits until the whole check (and any download) has ended.
inline bool PressUpdateAndWait(TVersionBox& box) {
  box.UpdateChkBtnClick();
  return PumpUntil([&] { return !box.update_running(); });
}

inline std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

}  // namespace orvela::testing
