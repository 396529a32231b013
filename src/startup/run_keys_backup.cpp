#include "startup/run_keys_backup.h"

#include <algorithm>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "regfile/registry_file.h"

namespace orvela {
namespace {

std::string RunKeyName(const RunKeyLocation& location) {
  return TRegistryFile::RootKeyToName(location.root) + "\\" + std::string(location.path);
}

// Whether a backup file can carry the value at all (the format's four types; a name
// without a quote; the default value only as text).
bool FileCanHold(std::string_view name, const RegistryValue& value) {
  const bool is_text = value.type == kRegSz || value.type == kRegExpandSz;
  if (name.empty()) return is_text;
  if (name.find('"') != std::string_view::npos) return false;
  return is_text || value.type == kRegBinary || (value.type == kRegDword && value.data.size() == 4);
}

bool WasNotSaved(const RunKeysBackup& backup, std::string_view key_name,
                 std::string_view value_name) {
  return std::any_of(backup.values_not_saved.begin(), backup.values_not_saved.end(),
                     [&](const auto& entry) {
                       return SameRegistryName(entry.first, key_name) &&
                              SameRegistryName(entry.second, value_name);
                     });
}

// The loader's own acceptance test on bytes already read: text up to the first NUL with
// a "[" after its first line.
bool LooksLikeKeysFile(std::string_view bytes) {
  const std::optional<std::string> text = DecodeFileText(bytes.substr(0, bytes.find('\0')));
  return text && !TRegistryFile::ReadFileBody(*text).body.empty();
}

// Undo's first step: every value the file will give back is removed from the three keys.
void EmptyRunKeys(const RunKeysBackup& backup, RegistryBackend& registry) {
  for (const RunKeyLocation& location : kRunKeyLocations) {
    const std::unique_ptr<RegistryKey> key = registry.OpenKey(location.root, location.path, false);
    if (!key) continue;  // left alone
    const std::optional<std::vector<std::string>> names = key->ValueNames();
    if (!names) continue;
    const std::string key_name = RunKeyName(location);
    for (const std::string& name : *names) {
      const std::optional<RegistryValue> value = key->ReadValue(name);
      if (!value || !FileCanHold(name, *value) || WasNotSaved(backup, key_name, name)) continue;
      key->DeleteValue(name);
    }
  }
}

}  // namespace

std::vector<std::string> RunKeyNames() {
  std::vector<std::string> names;
  for (const RunKeyLocation& location : kRunKeyLocations) names.push_back(RunKeyName(location));
  return names;
}

std::optional<int> RunLocationOf(const EntryRecord& record) {
  if (record.Key == kUserRunKey) return 0;
  if (record.Key == kMachineKey) return record.Kind == "Run" ? 1 : 2;
  return std::nullopt;
}

bool SaveRunKeys(RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                 const EntryRecord* selected) {
  if (backup.RunKeysSaved) return true;
  if (!selected || !IsRegistryEntry(*selected)) return true;
  TRegistryFile file(registry, prompt);
  const SaveResult result = file.SaveKeysToFile(backup.file_path, RunKeyNames());
  if (!result.file_written) {
    // Undo would otherwise load a file of an earlier run: offer nothing, try again next time.
    return prompt.AskYesNo(kBackupNotWrittenQuestion, TRegistryFile::kCaption,
                           PromptIcon::kWarning);
  }
  backup.values_not_saved = result.values_not_saved;
  backup.RunKeysUndoAvailable = true;
  backup.RunKeysSaved = true;
  return true;
}

bool RestoreRunKeys(const RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                    bool reload) {
  TRegistryFile file(registry, prompt);
  if (reload) return file.LoadKeysFromFile(backup.file_path, {}, {}, {}, true);
  // Check first: the keys are emptied only when the saved state can come back.
  if (!file.CheckKeysFile(backup.file_path)) return false;
  const std::optional<std::string> bytes = ReadWholeFile(backup.file_path);
  if (!bytes || !LooksLikeKeysFile(*bytes)) {
    // Gone or changed since the check.
    prompt.ShowMessage(TRegistryFile::kNotRegistryFile, TRegistryFile::kCaption,
                       PromptIcon::kWarning);
    return false;
  }
  EmptyRunKeys(backup, registry);
  return file.LoadKeysFromBytes(*bytes, backup.file_path, {}, {}, {}, false);
}

bool RestoreUninstallBackup(const std::string& file_name, RegistryBackend& registry,
                            Prompt& prompt) {
  TRegistryFile file(registry, prompt);
  return file.LoadKeysFromFile(file_name, {}, {}, {}, true);
}

}  // namespace orvela
