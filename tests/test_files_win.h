// Files, shortcuts and list-view texts the Windows tests make and read.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <doctest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "components/shell_link_win.h"
#include "platform/wide_win.h"

namespace orvela::testing {

// A file of `bytes`; its folder is made first when missing.
inline void WriteFile(const std::string& path, const std::string& bytes = "x") {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(Wide(path)).parent_path(), ignored);
  std::ofstream(std::filesystem::path(Wide(path)), std::ios::binary) << bytes;
}

// A shortcut to `target` named `name` in `folder` (made when missing), written over one of
// that name. Its path; the test stops when none was written.
inline std::string Link(const std::string& folder, const std::string& name, const std::string& target) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(Wide(folder)), ignored);
  const std::string path = TShellLink().CreateLink2(target, nullptr, folder, name, true);
  REQUIRE_FALSE(path.empty());
  return path;
}

#ifdef ORVELA_FIXTURE_DIR
// A program the build made for the tests (its fixtures folder, under Wine through drive Z:).
inline std::string FixturePath(const std::string& name) {
  std::string path = std::string("Z:") + ORVELA_FIXTURE_DIR + "/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}
#endif

// Removes a folder tree a test made, read-only files too (no links followed).
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(Wide(folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::string path = folder + "\\" + Narrow(name);
      SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(Wide(path).c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(Wide(folder).c_str());
}

// The text of a list view's cell in this process.
inline std::string Cell(HWND list, int row, int column) {
  wchar_t text[512] = {};
  ListView_GetItemText(list, row, column, text, 512);
  return Narrow(text);
}

}  // namespace orvela::testing
