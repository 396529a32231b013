#include "system/shell_folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include "components/shell_link_win.h"
#include "platform/wide_win.h"

namespace orvela {

ShellFolderPaths CurrentShellFolders() {
  ShellFolderPaths s;
  wchar_t name[1024];
  DWORD size = 1024;
  if (GetUserNameW(name, &size)) s.user_name = Narrow(name);
  s.profile = ShellFolderPath(CSIDL_PROFILE);
  s.startup = ShellFolderPath(CSIDL_STARTUP);
  s.sendto = ShellFolderPath(CSIDL_SENDTO);
  s.recent = ShellFolderPath(CSIDL_RECENT);
  s.programs = ShellFolderPath(CSIDL_PROGRAMS);
  s.common_startup = ShellFolderPath(CSIDL_COMMON_STARTUP);
  s.common_programs = ShellFolderPath(CSIDL_COMMON_PROGRAMS);
  return s;
}

}  // namespace orvela
