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

// The text of a list view's cell in this process.
inline std::string Cell(HWND list, int row, int column) {
  wchar_t text[512] = {};
  ListView_GetItemText(list, row, column, text, 512);
  return Narrow(text);
}

}  // namespace orvela::testing
