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
#include "platform/registry_backend.h"

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
  // Puts the number of entries in a section of its own before the others ([Orvela],
  // Entries=n): a file cut at the end of a line then holds fewer entries than it says.
  void SetEntryCount();
  std::vector<Section> Sections() const;
  std::string text() const;

 private:
  std::vector<std::string> lines_;
};

// The section of the entry count. It names no key, so earlier versions pass over it.
inline constexpr std::string_view kEntryCountSection = "Orvela";
inline constexpr std::string_view kEntryCountName = "Entries";

// Whether decoded file text reads whole: it ends with a line break; every line is blank, a
// comment, a section or an entry inside a section, and holds no NUL; and it holds at least as
// many entries as its count says. Files of earlier versions have no count: they are taken
// when the rest holds (a cut inside a line still shows).
bool BackupTextReadsWhole(std::string_view text);

enum class BackupFileState { kMissing, kWhole, kUnreadable, kDamaged };
struct BackupFile {
  BackupFileState state = BackupFileState::kMissing;
  BackupText text{};  // what the file holds when it is whole; empty otherwise
};
// Reads and checks "data\windata.ini" (missing, whole, not readable as text, or cut or
// damaged).
BackupFile ReadBackupFile(const std::string& path);

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

enum class BackupOutcome {
  kRecorded,
  kAlreadyRecorded,
  kUnrecordable,
  kFileUnreadable,
  kFileDamaged,
  kFileNotWritten
};

// Records the value `name` of the registry's open key unless its section has it already.
// A file that does not read whole is never added to (its count would vouch for it).
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

// What a restore may write. The data folder is writable by every user of the machine, and
// the restore may run elevated: only what the page itself records is put back.
class BackupScope {
 public:
  virtual ~BackupScope() = default;
  // Whether the page records this value of this key (key path without a leading "\") in
  // this form (nullopt: absent).
  virtual bool Records(RootKey root, std::string_view key_path, std::string_view name,
                       const std::optional<RegistryValue>& value) const = 0;
  // What to write for a recorded value, given the value there now (of a value the page
  // changes only in part, only that part comes back); nullopt when it cannot be put back.
  virtual std::optional<RegistryValue> ToWrite(std::string_view name, const RegistryValue& recorded,
                                               const std::optional<RegistryValue>& present) const {
    (void)name, (void)present;
    return recorded;
  }
};

// Puts every recorded value back (RestoreSettings without the questions). Nothing is
// written unless the file reads whole and every entry is understood and within the scope;
// `refused` names the entries that are not. The file is untouched.
struct RestoreResult {
  BackupFileState file = BackupFileState::kMissing;
  std::vector<std::string> refused;   // entries out of scope or of no known form
  std::vector<std::string> failures;  // values that could not be put back
};
RestoreResult RestoreRecordedValues(TRegistry& registry, const std::string& backup_path, const BackupScope& scope);

// The restore button: asks, restores, refills the page, deletes the file when everything
// came back and offers the restart. Returns whether the file is still there.
bool RestoreSettings(TRegistry& registry, Prompt& prompt, const std::string& backup_path, const BackupScope& scope,
                     const std::function<void()>& refill, RestartPort& restart);

}  // namespace orvela
