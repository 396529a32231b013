#include "startup/folder_files_win.h"

#include <windows.h>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {

void ListFolderFiles(const std::string& folder, int profile_index, const std::string& extension,
                     std::vector<FolderItem>& items) {
  if (folder.empty()) return;  // not the root of the current drive
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
  const std::string pattern = prefix + "*." + (extension.empty() ? "*" : extension);
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW(Wide(pattern).c_str(), &data));
  if (!find) return;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    items.push_back({prefix + Narrow(data.cFileName), profile_index});
  } while (FindNextFileW(find.get(), &data));
}

}  // namespace orvela
