#include "uninstall/uninstall_command.h"

#include <algorithm>
#include <cctype>

#include "system/command_line.h"

namespace orvela {
namespace {

size_t CharacterLength(std::string_view text, size_t pos) {
  size_t end = pos + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - pos;
}

}  // namespace

UninstallRun RepairUninstallCommand(std::string_view stored) {
  UninstallRun run;
  std::string command(stored);
  if (command.find("MsiExec.exe") != std::string::npos) {
    const size_t slash = command.find('/');
    if (slash != std::string::npos && slash + 1 < command.size())
      command.replace(slash + 1, CharacterLength(command, slash + 1), "x");
  } else if (const size_t p = command.find(".ex_"); p != std::string::npos) {
    command = ReplaceAll(command, ".ex_", ".exe");
    // The quote of a quoted command is no part of the file's name.
    run.rename_to = ReplaceAll(std::string_view(command).substr(0, p + 4), "\"", "");
    run.rename_from = run.rename_to.substr(0, run.rename_to.size() - 1) + "_";
  }
  std::string lower = command;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const size_t exe = lower.find(".exe ");
  if (command.find(":\\") == 1 && exe != std::string::npos) {
    command.insert(exe + 4, "\"");
    command.insert(0, "\"");
  }
  run.command = std::move(command);
  return run;
}

std::string ShellRunParameters(std::string_view command) {
  return "shell32.dll,ShellExec_RunDLL " + std::string(command);
}

}  // namespace orvela
