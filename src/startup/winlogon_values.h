// The programs Windows starts to log a user on: Winlogon's "Shell" (the machine's and the
// user's) and the machine's "Userinit". Programs that hide there replace or precede the
// desktop, so a value other than Windows' own is shown as a row; it is never disabled or
// changed from the list, as a wrong value stops the log-on itself.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/entry.h"
#include "platform/registry_backend.h"

namespace orvela {

inline constexpr std::string_view kWinlogonPath = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

// Windows' own values: "explorer.exe" as Shell, and the system folder's "userinit.exe," as
// Userinit, both in any case; Userinit also without its comma. A value that is not there
// counts as Windows' own too: Windows then uses its own.
bool IsWindowsOwnShell(std::string_view value);
bool IsWindowsOwnUserinit(std::string_view value, std::string_view system_folder);

// The rows of the values that differ from Windows' own, machine first: Key the root
// (kMachineKey or kUserRunKey), Kind kWinlogonKind, Name the value's name, Command its text.
// `system_folder` without a trailing backslash.
std::vector<EntryRecord> WinlogonEntries(RegistryBackend& registry, std::string_view system_folder);

// "HKEY_LOCAL_MACHINE Winlogon" or "HKEY_CURRENT_USER Winlogon".
std::string WinlogonLocationText(const EntryRecord& record);

}  // namespace orvela
