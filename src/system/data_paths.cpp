#include "system/data_paths.h"

namespace orvela {

DataPaths DataPaths::ForProgramFolder(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  DataPaths p;
  p.program_folder = folder;
  p.startup_box = folder + "data\\startup.txt";
  p.sendto_box = folder + "data\\sendto.txt";
  p.run_keys_backup = folder + "data\\regdata.reg";
  p.settings_backup = folder + "data\\windata.ini";
  p.uninstall_folder = folder + "data\\uninst\\";
  return p;
}

int WindowsClassOf(bool is_nt, unsigned major, unsigned minor) {
  if (!is_nt) return (major == 4 && minor >= 90) ? 1 : 0;
  return major >= 5 ? 2 : 0;
}

bool HasSettingsPage(int windows_class, unsigned major) { return !(windows_class == 2 && major > 5); }

}  // namespace orvela
