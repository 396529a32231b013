// The files of a drop from the shell (WM_DROPFILES).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace orvela {

// The dropped paths in the order of the drop, whole (no length limit, any characters).
std::vector<std::string> DroppedFiles(HDROP drop);

}  // namespace orvela
