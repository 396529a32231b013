#include "recent/recent_delete_win.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/wide_win.h"

namespace orvela {

void DeleteRecentFiles(RecentDeletion& deletion, CommandProgress& progress) {
  progress.total = deletion.paths.size();
  // What the shell leaves of its own list goes one by one below.
  if (deletion.clear_shell_list) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    SHAddToRecentDocs(SHARD_PIDL, nullptr);
    if (com) CoUninitialize();
  }
  for (size_t i = 0; i < deletion.paths.size() && !progress.stop; ++i) {
    const std::string& path = deletion.paths[i];
    // A row's look-up may be reading the shortcut at this moment.
    if (PathExists(path)) DeleteFileWhenFree(path);
    if (PathExists(path)) deletion.kept.push_back(deletion.names[i]);
    else deletion.gone.push_back(path);
    progress.done = i + 1;
  }
}

}  // namespace orvela
