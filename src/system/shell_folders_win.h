// The current user's shell folders, as the locations of every profile are computed from.
#pragma once
#include "system/locations.h"

namespace orvela {

ShellFolderPaths CurrentShellFolders();

}  // namespace orvela
