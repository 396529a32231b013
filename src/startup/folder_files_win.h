// The files of a Startup folder, as the startup page lists them.
#pragma once
#include <string>
#include <vector>

#include "startup/startup_entries.h"

namespace orvela {

// Appends one item per file of the folder whose name ends in "." + extension (every file
// when the extension is empty), hidden and system files included, folders left out. A
// folder that does not exist adds nothing.
void ListFolderFiles(const std::string& folder, int profile_index, const std::string& extension,
                     std::vector<FolderItem>& items);

}  // namespace orvela
