#include <doctest.h>

#include "uninstall/uninstall_command.h"

using namespace orvela;

TEST_CASE("the repairs of an uninstall command before it runs") {
  SUBCASE("MsiExec: the first switch becomes /x") {
    CHECK(RepairUninstallCommand("MsiExec.exe /I{1A2B}").command == "MsiExec.exe /x{1A2B}");
    CHECK(RepairUninstallCommand("MsiExec.exe /X{1A2B}").command == "MsiExec.exe /x{1A2B}");
    CHECK(RepairUninstallCommand("MsiExec.exe /").command == "MsiExec.exe /");  // no letter to replace
    CHECK(RepairUninstallCommand("msiexec.exe /I{1A2B}").command == "msiexec.exe /I{1A2B}");  // as written only
    CHECK(ShellRunParameters("MsiExec.exe /x{1A2B}") == "shell32.dll,ShellExec_RunDLL MsiExec.exe /x{1A2B}");
  }
  SUBCASE(".ex_: the command names the .exe, and the file is to get that name") {
    const UninstallRun run = RepairUninstallCommand("\"C:\\Setup\\unwise.ex_\" /u C:\\Setup\\log.ex_");
    CHECK(run.command == "\"C:\\Setup\\unwise.exe\" /u C:\\Setup\\log.exe");
    CHECK(run.rename_from == "C:\\Setup\\unwise.ex_");
    CHECK(run.rename_to == "C:\\Setup\\unwise.exe");
    CHECK(RepairUninstallCommand("C:\\x.exe /a").rename_from.empty());
  }
  SUBCASE("a program under a folder with blanks gets quotes when arguments follow") {
    CHECK(RepairUninstallCommand("C:\\Program Files\\Tool\\un.exe /S").command ==
          "\"C:\\Program Files\\Tool\\un.exe\" /S");
    CHECK(RepairUninstallCommand("C:\\Program Files\\Tool\\UN.EXE /S").command ==
          "\"C:\\Program Files\\Tool\\UN.EXE\" /S");
    CHECK(RepairUninstallCommand("\"C:\\Program Files\\Tool\\un.exe\" /S").command ==
          "\"C:\\Program Files\\Tool\\un.exe\" /S");
    CHECK(RepairUninstallCommand("C:\\Program Files\\Tool\\un.exe").command == "C:\\Program Files\\Tool\\un.exe");
  }
}
