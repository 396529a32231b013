// The three Run-type keys, their backup in "data\regdata.reg" before the first change of a
// registry startup entry in a run, and the reload and undo that read it back.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry.h"
#include "common/entry.h"

namespace orvela {

// A registry location of startup entries, by its index: 0 the user's Run key, 1 the
// machine's Run key, 2 the machine's RunOnce key (always handled in this order).
struct RunKeyLocation {
  RootKey root;
  std::string_view path;  // from the root, without a leading backslash
};
inline constexpr std::array<RunKeyLocation, 3> kRunKeyLocations = {{
    {RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
}};

// "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run" and the others, in order:
// the key list of the backup file.
std::vector<std::string> RunKeyNames();

// The location index of a registry record (0, 1, 2); nullopt for a folder record.
std::optional<int> RunLocationOf(const EntryRecord& record);

// The backup state of one run of the program. Both flags start false and only ever become
// true; undo and reload do not reset them.
struct RunKeysBackup {
  std::string file_path;              // program folder + "data\regdata.reg"
  bool RunKeysSaved = false;          // the backup of this run is in the file
  bool RunKeysUndoAvailable = false;  // "保存内容の読込" and "元に戻す" are offered
  // Values that were in the keys but could not go into the file (types the format has no
  // entry for): undo must leave them alone, as it cannot bring them back.
  std::vector<std::pair<std::string, std::string>> values_not_saved;
};

// Asked when the backup file cannot be written, before anything is changed.
inline constexpr std::string_view kBackupNotWrittenQuestion =
    "変更前のレジストリ内容をファイルに保存できませんでした。\n"
    "このまま続けると、この変更は「元に戻す」で戻せません。\n\n続けますか？";

// Takes the backup at the first change of a registry entry in the run: does nothing when it
// is taken already or when `selected` is null or no registry entry (a later change may still
// take it). Writes the three keys in order, replacing the file, and sets both flags.
// When the file cannot be written the flags stay false and the user is asked whether to go
// on without it (title "Orvela", warning icon). False when the change must not go on.
bool SaveRunKeys(RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                 const EntryRecord* selected);

// Reload (true): creates the saved keys that no longer exist, with their values; existing
// keys stay as they are. Undo (false): the three keys get exactly their saved values back;
// values added since are removed, deleted ones return, changed ones get their saved data.
// The file is read and checked before any value is removed, so a missing or unreadable
// file (warned about, false) changes nothing. Values the file cannot hold are never
// removed by undo.
bool RestoreRunKeys(const RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                    bool reload);

// Loads an uninstall backup: keys that still exist are not touched, removed ones come back
// with all their values and subkeys. The loader's result (false: rejected, warned about).
bool RestoreUninstallBackup(const std::string& file_name, RegistryBackend& registry,
                            Prompt& prompt);

}  // namespace orvela
