// One row of the startup list (and, with their own use of the fields, of the SendTo and
// uninstall lists). Texts are UTF-8 and kept whole.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// Root key handle values as the rows store them (signed): a negative Key is a registry entry.
inline constexpr int32_t kUserRunKey = static_cast<int32_t>(0x80000001u);  // HKEY_CURRENT_USER
inline constexpr int32_t kMachineKey = static_cast<int32_t>(0x80000002u);  // HKEY_LOCAL_MACHINE
// A scheduled task: no root key, so no Run location takes it for one of its rows.
inline constexpr int32_t kTaskKey = static_cast<int32_t>(0x80000000u);
// The Kind of a Winlogon value's row (Key the root of its key).
inline constexpr std::string_view kWinlogonKind = "Winlogon";

struct EntryRecord {
  int32_t Key = 0;          // profile index (>= 0) of a folder entry, kUserRunKey / kMachineKey,
                            // or kTaskKey
  std::string Kind;         // registry entries: which key of the root (run_key_locations.h;
                            // "" the user's Run key), or kWinlogonKind; a task's folder
                            // ("\" the top one); empty for folder entries
  std::string Name;         // value name, or file name without folder and last extension
  std::string Command;      // value data as stored, or the full path of the folder's file
  std::string Product;      // version information of the program
  std::string Company;
  std::string LegalNotice;
  std::string Description;
  std::string Location;     // Disabled Box view: the Startup folder a folder entry goes back to
  bool ItemIdForm = false;
  bool ShortcutForm = false;
  bool Missing = false;     // the entry's program was not found
  // Disabled Box view: a line that fits none of the line forms (hand-edited, or its profile
  // is gone). Kept as it is; it can only be deleted.
  bool Unrecognised = false;
  // Marks of a live row (EntryMarksText gives their words):
  bool WindowsDisabled = false;    // Windows' own startup switch has it off; it is not started
  uint64_t WindowsDisabledAt = 0;  // since when (a FILETIME, UTC); 0 when not recorded
  bool Returned = false;           // its very line stands in the Disabled Box: it came back
  // Its Run key is one the user may only read (the machine's keys for a user who is no
  // administrator): shown, but every change of it is refused.
  bool ReadOnly = false;
};

inline bool IsRegistryEntry(const EntryRecord& record) {
  return record.Key == kUserRunKey || record.Key == kMachineKey;
}
inline bool IsTaskEntry(const EntryRecord& record) { return record.Key == kTaskKey; }
// Winlogon's Shell and Userinit: shown, never changed from the list (winlogon_values.h).
inline bool IsWinlogonEntry(const EntryRecord& record) {
  return IsRegistryEntry(record) && record.Kind == kWinlogonKind;
}

// Element `row` of a page's rows; null for -1 (no selection) and for a row the list has but
// the rows have not (the two briefly out of step during a rebuild).
template <typename Row>
const Row* RowAt(const std::vector<Row>& rows, int row) {
  return row >= 0 && static_cast<size_t>(row) < rows.size() ? &rows[static_cast<size_t>(row)] : nullptr;
}

// The row to select after a rebuild: the last one whose Name is the remembered name
// (byte-exact), or -1 when the name is empty or not found.
inline int RowToReselect(const std::vector<EntryRecord>& rows, std::string_view remembered_name) {
  if (remembered_name.empty()) return -1;
  for (size_t i = rows.size(); i-- > 0;)
    if (rows[i].Name == remembered_name) return static_cast<int>(i);
  return -1;
}

}  // namespace orvela
