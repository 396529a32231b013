#include "startup/winlogon_values.h"

#include "system/locations.h"
#include "system/registry_value_text.h"

namespace orvela {

bool IsWindowsOwnShell(std::string_view value) { return EqualsIgnoringCase(value, "explorer.exe"); }

bool IsWindowsOwnUserinit(std::string_view value, std::string_view system_folder) {
  const std::string own = std::string(system_folder) + "\\userinit.exe";
  if (!value.empty() && value.back() == ',') value.remove_suffix(1);
  return EqualsIgnoringCase(value, own);
}

std::vector<EntryRecord> WinlogonEntries(RegistryBackend& registry, std::string_view system_folder) {
  struct Place {
    RootKey root;
    int32_t key;
    std::string_view name;
  };
  static constexpr Place kPlaces[] = {{RootKey::kLocalMachine, kMachineKey, "Shell"},
                                      {RootKey::kLocalMachine, kMachineKey, "Userinit"},
                                      {RootKey::kCurrentUser, kUserRunKey, "Shell"}};
  std::vector<EntryRecord> rows;
  for (const Place& place : kPlaces) {
    const std::unique_ptr<RegistryKey> key = registry.OpenKey(place.root, kWinlogonPath, KeyAccess::kRead);
    const std::optional<RegistryValue> value = key ? key->ReadValue(place.name) : std::nullopt;
    if (!value) continue;
    const std::string text = RunValueText(*value);
    const bool string = value->type == kRegSz || value->type == kRegExpandSz;
    if (string && (place.name == "Shell" ? IsWindowsOwnShell(text) : IsWindowsOwnUserinit(text, system_folder)))
      continue;
    EntryRecord& row = rows.emplace_back();
    row.Key = place.key;
    row.Kind = std::string(kWinlogonKind);
    row.Name = std::string(place.name);
    row.Command = text;
  }
  return rows;
}

std::string WinlogonLocationText(const EntryRecord& record) {
  return record.Key == kUserRunKey ? "HKEY_CURRENT_USER Winlogon" : "HKEY_LOCAL_MACHINE Winlogon";
}

}  // namespace orvela
