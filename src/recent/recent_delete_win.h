// Deleting recent-files shortcuts on a thread of its own (PageCommand): ten thousand files
// take the file system seconds, which the window must not wait for.
#pragma once
#include <string>
#include <vector>

#include "window/page_command_win.h"

namespace orvela {

struct RecentDeletion {
  std::vector<std::string> paths, names;  // the selected rows' files and shown names
  // The current user's whole list: the shell clears its own recent documents first.
  bool clear_shell_list = false;
  std::vector<std::string> gone;  // files no longer there afterwards
  std::vector<std::string> kept;  // names of files still there
};

// Deletes the files one by one; a file counts as deleted only when it is gone afterwards.
// Asked to stop (the window closes), it ends after the file at hand: the files not reached
// stay, unreported.
void DeleteRecentFiles(RecentDeletion& deletion, CommandProgress& progress);

}  // namespace orvela
