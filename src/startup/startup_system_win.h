// The startup page's look at the real system: the program lookup and the files of a folder.
#pragma once
#include <string>
#include <vector>

#include "system/program_lookup_win.h"
#include "startup/startup_entries.h"

namespace orvela {

// Appends one item per file of the folder whose name ends in "." + extension (every file
// when the extension is empty), hidden and system files included, folders left out. A
// folder that does not exist adds nothing.
void ListFolderFiles(const std::string& folder, int profile_index, const std::string& extension,
                     std::vector<FolderItem>& items);

}  // namespace orvela
