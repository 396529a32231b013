// The shell's icon for a path.
#pragma once
#include <windows.h>

#include <string>

namespace orvela {

// The large (32 x 32) or small icon the shell shows for a path; with by_type, the icon of
// the path's file type without touching the file. nullptr when there is none. The caller
// owns the icon (DestroyIcon).
HICON ShellIconOf(const std::string& path, bool small, bool by_type);

}  // namespace orvela
