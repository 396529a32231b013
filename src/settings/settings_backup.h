// The backup of the Windows-settings page, "data\windata.ini": before a tuning value is
// changed the first time, its state is recorded there ([root\key path], name=digit+data;
// 0 absent, 1 string, 2 expandable string, 3 integer, 4 binary of 4 bytes), and the restore
// puts every recorded value back.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry.h"

namespace orvela {

class TRegistry;

// The file as an initialization file: sections and their name=entry lines, in file order.
// Read as the profile functions read it (names without case, the first of two equal names
// counts), written back with every other line as it was.
class BackupText {
 public:
  struct Entry {
    std::string name, entry;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  explicit BackupText(std::string_view text = {});
  std::optional<std::string> Find(std::string_view section, std::string_view name) const;
  // Adds name=entry at the end of the section, or a new section at the end of the file.
  void Add(std::string_view section, std::string_view name, std::string_view entry);
  std::vector<Section> Sections() const;
  std::string text() const;

 private:
  std::vector<std::string> lines_;
};

// The entry that gives this value back exactly ("0" for an absent value); nullopt when no
// entry can: another type, a binary or integer value not 4 bytes long, a string with a line
// break, a NUL inside or no terminator.
std::optional<std::string> ReadTypedValue(const std::optional<RegistryValue>& value);

// What an entry restores: the value, or its absence (digit 0). `understood` is false for an
// entry of no known form (no digit, another digit, a number that is none).
struct TypedValue {
  bool understood = false;
  std::optional<RegistryValue> value;  // nullopt: the value did not exist
};
TypedValue WriteTypedValue(std::string_view entry);

// Reads a backup file: missing counts as empty; nullopt when it is there but cannot be read.
std::optional<BackupText> LoadBackupText(const std::string& path);

enum class BackupOutcome { kRecorded, kAlreadyRecorded, kUnrecordable, kFileUnreadable, kFileNotWritten };

// Records the value `name` of the registry's open key unless its section has it already.
BackupOutcome BackupValue(TRegistry& registry, const std::string& backup_path, std::string_view name);

// The tuning values are written through this: every write is preceded by its backup, and a
// write whose backup failed does not happen. After a failure, error() says what in Japanese.
class SettingsWriter {
 public:
  SettingsWriter(TRegistry& registry, std::string backup_path);

  // Opens an existing key of the root (never creates one).
  bool OpenKey(RootKey root, std::string_view path);
  bool WriteValue(std::string_view name, const RegistryValue& value);
  bool WriteInteger(std::string_view name, std::uint32_t number);
  bool WriteString(std::string_view name, std::string_view text);
  bool WriteExpandString(std::string_view name, std::string_view text);

  TRegistry& registry() { return registry_; }
  const std::string& error() const { return error_; }
  // A backup was written: the restore button is due.
  bool recorded() const { return recorded_; }

 private:
  TRegistry& registry_;
  std::string backup_path_;
  std::string error_;
  bool recorded_ = false;
};

// The restart the restore offers; tests give their own, which must never restart anything.
class RestartPort {
 public:
  virtual ~RestartPort() = default;
  virtual void RestartSystem() = 0;
};

inline constexpr std::string_view kRestoreQuestion = "変更した内容を以前の状態に戻しますか？";
inline constexpr std::string_view kRestoreTitle = "復元";
inline constexpr std::string_view kRestartQuestion =
    "復元した設定を有効にするには、システムの再起動が必要です。\n\n再起動しますか？";
inline constexpr std::string_view kRestartTitle = "再起動の確認";

// Puts every recorded value back (RestoreSettings without the questions). The texts of
// what could not be restored; the file is untouched.
struct RestoreResult {
  bool file_read = false;
  std::vector<std::string> failures;
};
RestoreResult RestoreRecordedValues(TRegistry& registry, const std::string& backup_path);

// The restore button: asks, restores, refills the page, deletes the file when everything
// came back and offers the restart. Returns whether the file is still there.
bool RestoreSettings(TRegistry& registry, Prompt& prompt, const std::string& backup_path,
                     const std::function<void()>& refill, RestartPort& restart);

}  // namespace orvela
