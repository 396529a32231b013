#include "platform/dropped_files_win.h"

#include <shellapi.h>

#include "platform/wide_win.h"

namespace orvela {

std::vector<std::string> DroppedFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
    if (!name.empty()) paths.push_back(Narrow(name));
  }
  return paths;
}

}  // namespace orvela
