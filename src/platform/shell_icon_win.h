// The shell's icon for a path.
#pragma once
#include <windows.h>

#include <string>

namespace orvela {

// The large (32 x 32) or small icon the shell shows for a path; with by_type, the icon of
// the path's file type without touching the file. nullptr when there is none. The caller
// owns the icon (DestroyIcon).
HICON ShellIconOf(const std::string& path, bool small, bool by_type);

// The large icon the shell shows for a file, read straight from a program's own icons when
// it has some: the shell's list of every icon it has shown costs a long start and both sizes
// of each icon. nullptr when there is none; the caller owns the icon.
HICON FileIconOf(const std::string& path);

}  // namespace orvela
