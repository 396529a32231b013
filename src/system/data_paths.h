// The program's own files, all in the "data" folder beside the executable.
#pragma once
#include <string>

namespace orvela {

struct DataPaths {
  std::string program_folder;    // ends in a backslash
  std::string startup_box;       // data\startup.txt: the Disabled Box of the startup page
  std::string sendto_box;        // data\sendto.txt: the Disabled Box of the SendTo page
  std::string run_keys_backup;   // data\regdata.reg
  std::string settings_backup;   // data\windata.ini
  std::string uninstall_folder;  // data\uninst\ (always ends in a backslash)

  static DataPaths ForProgramFolder(std::string folder);
};

// The Windows class of the running system: 0 for the 95 family and NT before 5, 1 for Me,
// 2 for NT 5 and later.
int WindowsClassOf(bool is_nt, unsigned major, unsigned minor);
// The Windows-settings page exists only up to NT 5 (XP and 2003).
bool HasSettingsPage(int windows_class, unsigned major);

}  // namespace orvela
