#include "platform/shell_icon_win.h"

#include <shellapi.h>

#include "platform/plain_text.h"
#include "platform/wide_win.h"

namespace orvela {
HICON ShellIconOf(const std::string& path, bool small, bool by_type) {
  UINT flags = SHGFI_ICON | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
  std::string query = path;
  if (by_type) {
    query = "*" + std::string(ExtensionOf(path));
    flags |= SHGFI_USEFILEATTRIBUTES;
  }
  // Zeroed each time: on failure Wine leaves the previous call's icon in the struct.
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(Wide(query).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags))
    return nullptr;
  return info.hIcon;
}

HICON FileIconOf(const std::string& path) {
  // A program's type shows the program's own first icon ("%1"); other types show the icon
  // their type names, which only the shell knows.
  if (lstrcmpiW(Wide(ExtensionOf(path)).c_str(), L".exe") == 0) {
    HICON icon = nullptr;
    if (ExtractIconExW(Wide(path).c_str(), 0, &icon, nullptr, 1) == 1 && icon) return icon;
  }
  return ShellIconOf(path, false, false);
}

}  // namespace orvela
