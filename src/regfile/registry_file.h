// Registry Text Data: the program's own registry export. Keys are saved with all their
// values and subkeys before the program changes them, and loaded back by the undo and
// restore commands. The file is text in the ANSI code page (UTF-8 with a byte-order mark
// when the code page cannot hold it), lines ended by CR LF:
//
//   Ｖ＆Ｌ Registry Text Data Version 1.1
//
//   [HKEY_CURRENT_USER\Software\X]
//   @="default text"
//   "Name"="C:\\Program Files\\A"
//   "Count"=dword:0000001A
//   "Blob"=hex:01,02,03,04,05,06,07,08,09,
//   0A,0B
//   "Path"=hex(2):25,00,41,00,25,00,00,00
//
// A value the string, dword and binary forms cannot give back exactly (another type, a
// string with blanks at an end, a line break, an embedded NUL or no terminator) is written
// as hex(N): with N the type in hexadecimal and the value's raw bytes, as the system's
// registry editor does. So every value whose name fits between quotes is kept exactly.
// The reader scans for the marker characters " @ [ rather than parsing lines, but never
// looks past the end of a line for a section's "]", a name's closing quote or a type's ":".
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/app_title.h"
#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "regfile/registry_accessor.h"

namespace orvela {

// What a save put into its file. Callers that delete what they saved must refuse when the
// save is not complete.
struct SaveResult {
  bool file_written = false;
  // Full key names ("HKEY_CURRENT_USER\Software\X") whose values or subkeys are not all in
  // the file: not openable, not listable, or with a "]" or line break the section line
  // cannot carry.
  std::vector<std::string> keys_not_saved;
  // Key name and value name of values that are not in the file: unreadable values, names
  // with a quote or a line break (names are written as they are).
  std::vector<std::pair<std::string, std::string>> values_not_saved;

  bool complete() const {
    return file_written && keys_not_saved.empty() && values_not_saved.empty();
  }
};

// The part of a file's text the loader works on.
struct FileBody {
  std::string comment;  // the line after the header, when it has no "["
  std::string body;     // from the first "[" after the header on; empty when none
};

// What reading a file would do, found without touching the registry.
struct KeysFileCheck {
  // The loader takes the file: it has a body, and the expected comment when one is asked.
  bool accepted = false;
  // Places that do not read as this writer writes them: every warning a load would show,
  // text that is no entry, section or line break, a NUL, another header, a string running
  // over a line end, a last line without its line break.
  int faults = 0;
  struct Section {
    std::string key;  // "HKEY_CURRENT_USER\Software\X" as the section line names it
    std::vector<std::pair<std::string, RegistryValue>> values;  // as a load would write them
  };
  std::vector<Section> sections;

  bool sound() const { return accepted && faults == 0; }
  // The first section of that key (names compare without case); null when none.
  const Section* Find(std::string_view key) const;
  // The sections that are none of `tops` and lie below none of them, each name once: a
  // restore may write only where its backup was taken, and refuses a file with any.
  std::vector<std::string> SectionsOutside(const std::vector<std::string>& tops) const;
};

class TRegistryFile : public TRegistry {
 public:
  // Warnings go to `prompt` with the warning icon and the application title.
  TRegistryFile(RegistryBackend& backend, Prompt& prompt);

  // The header line every file starts with.
  std::string FHeader;
  // Root name of the section last read.
  std::string FRootName;
  // Put in front of every section path when loading.
  std::string FKeyPrefix;
  // When loading: restore a section only if its key does not exist yet.
  bool FOnlyMissingKeys = false;

  // Writes every listed key ("HKEY_CURRENT_USER\Software\X") with its values and
  // subkeys, depth first, values before subkeys. An empty list writes no file. The old
  // file is replaced only once the new one is completely written.
  SaveResult SaveKeysToFile(const std::string& file_name, const std::vector<std::string>& keys,
                            std::string_view comment = {});

  // The bytes SaveKeysToFile writes (for any list, even an empty one).
  std::string KeysFileBytes(const std::vector<std::string>& keys, std::string_view comment,
                            SaveResult& result);

  // Reads a file back into the registry. False when the file is rejected (not readable,
  // not in the format, or its comment differs from a non-empty expected one): a warning
  // has been shown and the registry is unchanged.
  bool LoadKeysFromFile(const std::string& file_name, std::string_view key_prefix = {},
                        std::string_view path_filter = {}, std::string_view expected_comment = {},
                        bool only_missing_keys = false);
  // The same on bytes already read; `file_name` only names the file in a warning.
  bool LoadKeysFromBytes(std::string_view bytes, std::string_view file_name,
                         std::string_view key_prefix = {}, std::string_view path_filter = {},
                         std::string_view expected_comment = {}, bool only_missing_keys = false);

  // Whether LoadKeysFromFile would accept the file, showing the same warning when not;
  // the registry is not touched.
  bool CheckKeysFile(const std::string& file_name, std::string_view expected_comment = {});

  // Reads the whole file as a load would, showing nothing and touching no key: for callers
  // that remove values on the strength of a file, which must read without a fault.
  KeysFileCheck CheckKeysBytes(std::string_view bytes, std::string_view expected_comment = {});

  // Keys that a load could not open or create and values it could not write.
  const std::vector<std::string>& NotRestored() const { return not_restored_; }

  // Read back after a load (without key prefix or path filter): the keys of the checked file
  // that are not there ("HKEY_CURRENT_USER\Software\X") and its values that are not there with
  // their type and bytes ("HKEY_CURRENT_USER\Software\X : Name"). A value the file holds
  // twice with other data counts as not there: only a file whose every entry is in the
  // registry may be thrown away.
  std::vector<std::string> NotAsSaved(const KeysFileCheck& check);

  static FileBody ReadFileBody(std::string_view text);
  // Up to eight hexadecimal digits; a bad digit (or more than eight) gives the conversion
  // warning and 0.
  std::uint32_t HexTextToInt(std::string_view text);

  static std::string RootKeyToName(orvela::RootKey root);  // "" for other handles
  static orvela::RootKey RootNameToKey(std::string_view name);  // RootKey::kNone for others

  // The texts of the warnings. A key that cannot be saved: kKeyNotOpened, the key and why.
  static constexpr std::string_view kKeyNotOpened = "レジストリのキーを開けませんでした。";
  static std::string KeyNotOpenedText(std::string_view key_name, SystemError code);
  static constexpr std::string_view kNotRegistryFile =
      "このファイルはレジストリ ファイルでは有りません！！";
  static constexpr std::string_view kNotExpectedFile =
      " このファイルは指定されたファイルでは有りません！！";
  static constexpr std::string_view kConversionError = "バイナリデータ変換エラー";

 private:
  enum class Target { kNone, kOpenKey, kSkipped };

  // Writes one key (path from the current root) with its values and subkeys.
  void ExportKey(std::string_view path);

  // Accepts the bytes (showing the warning when not) and gives the body to load.
  std::optional<FileBody> AcceptedBody(std::optional<std::string_view> bytes,
                                       std::string_view file_name,
                                       std::string_view expected_comment);
  // Runs the scan over body_ (a load, or a check when check_ is set).
  void Scan();
  // Readers of the scan: each starts at its marker and moves pos_ past what it used.
  // False when the body ended inside it, which ends the load.
  bool ReadSection();
  bool ReadNamedValue();
  bool ReadDefaultValue();
  // The data after "=": a string, dword:, hex: or hex(N):.
  bool ReadValueData(const std::string& name, bool is_default);
  // The text of a quoted string starting after its opening quote; nullopt if unclosed.
  std::optional<std::string> ReadQuotedText();
  void ReadBinaryText(std::vector<std::uint8_t>& bytes);
  void StoreValue(std::string_view name, const RegistryValue& value);
  // Where the line of `from` ends: its CR or LF, or the end of the body.
  size_t LineEnd(size_t from) const;
  void ConversionWarning();
  // A fault in a value's data: warned about only when the value would be written.
  void DataWarning();
  // Text the scan passes over: counts only for a check.
  void Stray();
  void Warn(std::string_view text);

  void AppendValueEntry(std::string_view name, std::string& out);

  Prompt& prompt_;
  // Scan state of a load.
  std::string_view body_;
  size_t pos_ = 0;
  Target target_ = Target::kNone;
  bool loading_ = false;
  std::string path_filter_;
  std::vector<std::string> not_restored_;
  KeysFileCheck* check_ = nullptr;
  // Output and result of a save.
  std::string* out_ = nullptr;
  SaveResult* save_result_ = nullptr;
};

// The text of a string value between its quotes: backslashes doubled, quotes escaped.
std::string EscapeValueText(std::string_view text);

// Whether the "..." form gives the value back exactly: REG_SZ, its bytes its text and one
// terminating NUL, no blank or control character at either end (the reader trims them),
// no line break.
bool FitsStringForm(const RegistryValue& value);

// The bytes of a hex: or hex(N): entry: wrapped after the 9th byte and then every 8th.
std::string BinaryValueText(const std::vector<std::uint8_t>& bytes);

// Names for a message, one "[name]" a line, each after a line break; after the first 20
// one line says how many more there are (a damaged file may name thousands).
std::string BracketedNameLines(const std::vector<std::string>& names);

}  // namespace orvela
