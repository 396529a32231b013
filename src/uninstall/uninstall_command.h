// The uninstall command as "アンインストール(&U)" runs it: common defects of stored commands
// repaired, then started through the shell's run entry point.
#pragma once
#include <string>
#include <string_view>

namespace orvela {

struct UninstallRun {
  std::string command;
  // A program stored as ".ex_" that must first get its ".exe" name; empty when none. The
  // rename never replaces a file that is there.
  std::string rename_from, rename_to;
};

// - "MsiExec.exe" (this spelling) with a "/": the character after the first "/" becomes
//   "x" (install and repair switches become the uninstall switch); a "/" at the very end
//   leaves the command as it is;
// - otherwise ".ex_" becomes ".exe" everywhere, and the program file up to the first one
//   is to be renamed;
// - a command starting with a drive ("C:\") whose program is followed by arguments gets
//   the program path quoted.
UninstallRun RepairUninstallCommand(std::string_view command);

// What rundll32.exe is given.
std::string ShellRunParameters(std::string_view command);

}  // namespace orvela
