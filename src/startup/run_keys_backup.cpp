#include "startup/run_keys_backup.h"

#include <algorithm>

#include "platform/app_title.h"
#include "platform/file_io.h"
#include "regfile/registry_file.h"
#include "disabled_box/disabled_box.h"
#include "startup/run_key_locations.h"
#include "startup/startup_actions.h"

namespace orvela {
namespace {

bool Contains(const std::vector<std::string>& keys, std::string_view key) {
  return std::any_of(keys.begin(), keys.end(),
                     [&](const std::string& entry) { return SameRegistryName(entry, key); });
}

bool WasNotSaved(const RunKeysBackup& backup, std::string_view key_name,
                 std::string_view value_name) {
  return std::any_of(backup.values_not_saved.begin(), backup.values_not_saved.end(),
                     [&](const auto& entry) {
                       return SameRegistryName(entry.first, key_name) &&
                              SameRegistryName(entry.second, value_name);
                     });
}

using Values = std::vector<std::pair<std::string, RegistryValue>>;

const RegistryValue* Find(const Values& values, std::string_view name) {
  for (const auto& [value_name, value] : values)
    if (SameRegistryName(value_name, name)) return &value;
  return nullptr;
}

// A Run key as it was before the restore changed anything.
struct KeyState {
  bool existed = false;
  Values values;
};

KeyState StateOf(RegistryBackend& registry, const RunKeyLocation& location) {
  KeyState state;
  state.existed = registry.KeyExists(location.root, location.path);
  const std::unique_ptr<RegistryKey> key = registry.OpenKey(location.root, location.path, KeyAccess::kRead);
  if (!key) return state;
  for (const std::string& name : key->ValueNames().value_or(std::vector<std::string>{}))
    if (auto value = key->ReadValue(name)) state.values.emplace_back(name, std::move(*value));
  return state;
}

// The file was written with a section for every key that existed and could be saved.
bool HoldsEveryKey(const KeysFileCheck& check, const RunKeysBackup& backup) {
  for (const RunKeyLocation& location : kRunKeyLocations) {
    const std::string name = RunKeyName(location);
    if (!check.Find(name) && !Contains(backup.keys_missing, name) &&
        !Contains(backup.keys_not_saved, name))
      return false;
  }
  return true;
}

// Undo's first step: a value the file does not hold would be gone after undo, so it goes
// into the Disabled Box before it is removed. Values the file holds are left for the load
// to overwrite: nothing is removed that is not put somewhere first.
void MoveUnsavedValues(StartupContext& context, const KeysFileCheck& check,
                       std::vector<std::string>& moved, std::vector<std::string>& kept) {
  for (size_t location = 0; location < kRunKeyLocations.size(); ++location) {
    const RunKeyLocation& where = kRunKeyLocations[location];
    const std::string key_name = RunKeyName(where);
    if (Contains(context.backup.keys_not_saved, key_name)) continue;
    const std::unique_ptr<RegistryKey> key = context.registry.OpenKey(where.root, where.path, KeyAccess::kWrite);
    if (!key) continue;  // left alone
    const KeysFileCheck::Section* saved = check.Find(key_name);
    // A file without a 32-bit key's section (the key was not there) leaves that key alone.
    if (!saved && static_cast<int>(location) >= kFixedRunLocations) continue;
    for (const std::string& name : key->ValueNames().value_or(std::vector<std::string>{})) {
      if (saved && Find(saved->values, name)) continue;
      if (WasNotSaved(context.backup, key_name, name)) continue;
      const std::optional<RegistryValue> value = key->ReadValue(name);
      if (!value) continue;
      const std::optional<std::string> line = RunValueLine(static_cast<int>(location), name, *value, context.locations);
      const bool in_box = line && std::find(context.box.lines.begin(), context.box.lines.end(),
                                            *line) != context.box.lines.end();
      if (!line || (!in_box && !AppendDisabledBoxLine(context, *line, *value))) {
        kept.push_back(name);
        continue;
      }
      if (!key->DeleteValue(name)) {
        // Still live: the line just added would only show it twice.
        if (!in_box) RemoveDisabledBoxLine(context, context.box.lines.size() - 1);
        kept.push_back(name);
        continue;
      }
      moved.push_back(name);
    }
  }
}

// An entry the restore put back (it was not there with its saved data before, and is now)
// leaves the Disabled Box: the lines of its location, name and command. False when the
// box file could not follow.
bool TakeRestoredOutOfBox(StartupContext& context, const KeysFileCheck& check,
                          const std::array<KeyState, kRunKeyLocations.size()>& before, bool reload) {
  bool written = true;
  for (size_t location = 0; location < kRunKeyLocations.size(); ++location) {
    const RunKeyLocation& where = kRunKeyLocations[location];
    const KeysFileCheck::Section* saved = check.Find(RunKeyName(where));
    if (!saved || (reload && before[location].existed)) continue;
    const std::unique_ptr<RegistryKey> key = context.registry.OpenKey(where.root, where.path, KeyAccess::kRead);
    if (!key) continue;
    for (const auto& [name, value] : saved->values) {
      const RegistryValue* was = Find(before[location].values, name);
      if (was && *was == value) continue;
      if (key->ReadValue(name) != value) continue;
      const std::optional<std::string> line = RunValueLine(static_cast<int>(location), name, value, context.locations);
      if (!line) continue;
      const EntryRecord restored = DisabledBoxRecord(*line, context.locations);
      for (size_t row = context.box.lines.size(); row-- > 0;) {
        const EntryRecord record = DisabledBoxRecord(context.box.lines[row], context.locations);
        if (!record.Unrecognised && RunLocationOf(record) == RunLocationOf(restored) &&
            IsRegistryEntry(record) && SameRegistryName(record.Name, restored.Name) &&
            record.Command == restored.Command) {
          written = RemoveDisabledBoxLine(context, row) && written;
        }
      }
    }
  }
  return written;
}

// Whether the restore would change the key of a location: reload makes a saved key that is
// gone; undo writes saved values that differ and removes values the file does not hold
// (those it could not hold excepted).
bool RestoreChanges(const StartupContext& context, const KeysFileCheck& check, size_t location,
                    const KeyState& now, bool reload) {
  const std::string key_name = RunKeyName(kRunKeyLocations[location]);
  const KeysFileCheck::Section* saved = check.Find(key_name);
  if (reload) return saved && !now.existed;
  if (saved)
    for (const auto& [name, value] : saved->values) {
      const RegistryValue* present = Find(now.values, name);
      if (!present || !(*present == value)) return true;
    }
  if (Contains(context.backup.keys_not_saved, key_name) || (!saved && static_cast<int>(location) >= kFixedRunLocations))
    return false;
  return std::any_of(now.values.begin(), now.values.end(), [&](const auto& entry) {
    return !(saved && Find(saved->values, entry.first)) && !WasNotSaved(context.backup, key_name, entry.first);
  });
}

}  // namespace

bool SaveRunKeys(RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                 const EntryRecord* selected) {
  if (backup.RunKeysSaved) return true;
  if (!selected || !IsRegistryEntry(*selected)) return true;
  std::array<bool, kRunKeyLocations.size()> existed{};
  std::vector<std::string> keys;
  std::vector<std::string> absent_32bit_keys;
  for (size_t i = 0; i < kRunKeyLocations.size(); ++i) {
    existed[i] = registry.KeyExists(kRunKeyLocations[i].root, kRunKeyLocations[i].path);
    const std::string name = RunKeyName(kRunKeyLocations[i]);
    if (existed[i] || static_cast<int>(i) < kFixedRunLocations)
      keys.push_back(name);
    else
      absent_32bit_keys.push_back(name);
  }
  HeldMessages held;
  SaveResult result;
  const std::function<void()> save = [&] {
    TRegistryFile file(registry, held);
    result = file.SaveKeysToFile(backup.file_path, keys);
  };
  if (backup.run_file_work) backup.run_file_work(save);
  else save();
  held.ShowTo(prompt);  // once the file is written, as before any question
  if (!result.file_written) {
    // Undo would otherwise load a file of an earlier run: offer nothing, try again next time.
    return prompt.AskYesNo(kBackupNotWrittenQuestion, kAppTitle,
                           PromptIcon::kWarning);
  }
  backup.values_not_saved = result.values_not_saved;
  backup.keys_not_saved.clear();
  backup.keys_missing = absent_32bit_keys;
  for (const std::string& key : result.keys_not_saved) {
    const auto names = RunKeyNames();
    const size_t index = static_cast<size_t>(
        std::find_if(names.begin(), names.end(),
                     [&](const std::string& name) { return SameRegistryName(name, key); }) -
        names.begin());
    if (index < existed.size() && !existed[index])
      backup.keys_missing.push_back(key);
    else
      backup.keys_not_saved.push_back(key);
  }
  backup.RunKeysUndoAvailable = true;
  backup.RunKeysSaved = true;
  return true;
}

bool RestoreRunKeys(StartupContext& context, bool reload) {
  Prompt& prompt = context.prompt;
  TRegistryFile file(context.registry, prompt);
  const std::optional<std::string> bytes = ReadWholeFile(context.backup.file_path);
  const KeysFileCheck check = bytes ? file.CheckKeysBytes(*bytes) : KeysFileCheck{};
  if (!check.accepted) {
    prompt.ShowMessage(TRegistryFile::kNotRegistryFile, kAppTitle,
                       PromptIcon::kWarning);
    return false;
  }
  if (!check.sound() || !HoldsEveryKey(check, context.backup)) {
    prompt.ShowMessage(std::string(kBackupDamaged) + "\n" + context.backup.file_path,
                       kAppTitle, PromptIcon::kWarning);
    return false;
  }
  // Every user may write the data folder: only the keys this backup saved may be written.
  std::vector<std::string> saved_keys;
  for (const std::string& name : RunKeyNames())
    if (!Contains(context.backup.keys_missing, name)) saved_keys.push_back(name);
  const std::vector<std::string> outside = check.SectionsOutside(saved_keys);
  if (!outside.empty()) {
    prompt.ShowMessage(std::string(kBackupOutsideRunKeys) + "\n" + context.backup.file_path + "\n" +
                           BracketedNameLines(outside),
                       kAppTitle, PromptIcon::kWarning);
    return false;
  }

  std::array<KeyState, kRunKeyLocations.size()> before;
  for (size_t i = 0; i < kRunKeyLocations.size(); ++i)
    before[i] = StateOf(context.registry, kRunKeyLocations[i]);
  // A key the user may not change is left as it is only when the restore has nothing to
  // change in it; otherwise nothing is restored.
  std::string refused;
  for (size_t i = 0; i < kRunKeyLocations.size(); ++i) {
    const std::optional<SystemError> refusal =
        RunLocationRefusal(context.registry, static_cast<int>(i), context.administrator);
    if (refusal && RestoreChanges(context, check, i, before[i], reload))
      refused += "\n" + RunKeyName(kRunKeyLocations[i]) + "\n理由：" + SystemErrorText(*refusal);
  }
  if (!refused.empty()) {
    prompt.ShowMessage(std::string(kRestoreRefused) + refused +
                           (context.administrator ? "" : "\n" + std::string(startup_messages::kAdministratorNeeded)),
                       kAppTitle, PromptIcon::kWarning);
    return false;
  }
  std::vector<std::string> moved, kept;
  if (!reload) MoveUnsavedValues(context, check, moved, kept);
  // The bytes checked are the bytes loaded.
  file.LoadKeysFromBytes(*bytes, context.backup.file_path, {}, {}, {}, reload);
  const bool box_written = TakeRestoredOutOfBox(context, check, before, reload);

  if (!moved.empty())
    prompt.ShowMessage(std::string(kUndoMovedToBox) + BracketedNameLines(moved), kAppTitle,
                       PromptIcon::kInformation);
  if (!kept.empty())
    prompt.ShowMessage(std::string(kUndoKeptValues) + BracketedNameLines(kept), kAppTitle,
                       PromptIcon::kWarning);
  if (!box_written)
    prompt.ShowMessage(std::string(kUndoBoxNotWritten) + "\n" + context.box.path,
                       kAppTitle, PromptIcon::kError);
  return true;
}

}  // namespace orvela
