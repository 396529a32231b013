#include "settings/settings_backup.h"

#include <cstring>

#include "platform/ansi_codec.h"
#include "platform/app_title.h"
#include "platform/file_io.h"
#include "platform/plain_text.h"
#include "regfile/registry_accessor.h"
#include "regfile/registry_file.h"
#include "settings/tuning_rules.h"

namespace orvela {
namespace {

// The name of a section line ("[name]"); nullopt for other lines.
std::optional<std::string> SectionName(std::string_view line) {
  line = Trim(line, Blanks::kSpacesAndTabs);
  const size_t close = line.rfind(']');
  if (line.empty() || line.front() != '[' || close == std::string_view::npos) return std::nullopt;
  return std::string(Trim(line.substr(1, close - 1), Blanks::kSpacesAndTabs));
}

// name=entry; the entry keeps its trailing blanks (they may be a string's own).
std::optional<BackupText::Entry> EntryOf(std::string_view line) {
  const std::string_view trimmed = Trim(line, Blanks::kSpacesAndTabs);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view entry = line.substr(equals + 1);
  while (!entry.empty() && (entry.front() == ' ' || entry.front() == '\t')) entry.remove_prefix(1);
  return BackupText::Entry{std::string(Trim(line.substr(0, equals), Blanks::kSpacesAndTabs)), std::string(entry)};
}

std::vector<std::uint8_t> Le32(std::uint32_t n) {
  return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
          static_cast<std::uint8_t>(n >> 24)};
}

std::int32_t Signed32(const std::vector<std::uint8_t>& data) {
  const std::uint32_t n = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
  std::int32_t value;
  std::memcpy(&value, &n, sizeof value);
  return value;
}

// A signed or unsigned 32-bit decimal number.
std::optional<std::uint32_t> Number32(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (negative ? n > 0x80000000ull : n > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<std::uint32_t>(negative ? (0x100000000ull - n) & 0xFFFFFFFFull : n);
}

bool ValueListed(const TRegistry& registry, std::string_view name, bool& listed) {
  const std::optional<std::vector<std::string>> names = registry.ListValueNames();
  listed = names.has_value();
  if (!names) return false;
  for (const std::string& n : *names)
    if (SameRegistryName(n, name)) return true;
  return false;
}

std::string SectionOf(const TRegistry& registry) {
  return TRegistryFile::RootKeyToName(registry.RootKey()) + "\\" + registry.CurrentPath();
}

bool FileIsThere(const std::string& path) { return ReadFileIfPresent(path).status != FileRead::Status::kMissing; }

bool IsEntryCount(const BackupText::Section& section) { return SameTextIgnoringCase(section.name, kEntryCountSection); }

size_t EntryCount(const std::vector<BackupText::Section>& sections) {
  size_t count = 0;
  for (const BackupText::Section& section : sections)
    if (!IsEntryCount(section)) count += section.entries.size();
  return count;
}

// Lines end at LF or CR LF; a last line without its end is a line too.
// Blank, a comment, a section, or an entry once a section has begun.
bool KnownLine(std::string_view line, bool& in_section) {
  if (line.find('\0') != std::string_view::npos) return false;
  const std::string_view trimmed = Trim(line, Blanks::kSpacesAndTabs);
  if (trimmed.empty() || trimmed.front() == ';') return true;
  if (SectionName(line)) return in_section = true;
  return in_section && EntryOf(line);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Why a restore wrote nothing; nullopt when it went ahead.
std::optional<std::string> RefusalText(const RestoreResult& result) {
  constexpr std::string_view kKept = "ファイルはそのまま残してあります。";
  switch (result.file) {
    case BackupFileState::kMissing:
      return "data\\windata.ini が見つからないため、何も元に戻していません。";
    case BackupFileState::kUnreadable:
      return "data\\windata.ini を読み込めないため、何も元に戻していません。";
    case BackupFileState::kDamaged:
      return "data\\windata.ini は途中で切れているか壊れているため、何も元に戻していません。" + std::string(kKept);
    case BackupFileState::kWhole:
      break;
  }
  if (result.refused.empty()) return std::nullopt;
  return "data\\windata.ini に次の記録があるため、何も元に戻していません。" + std::string(kKept) + "\n\n" +
         JoinLines(result.refused);
}

}  // namespace

BackupText::BackupText(std::string_view text) : lines_(SplitFileLines(text)) {}

std::vector<BackupText::Section> BackupText::Sections() const {
  std::vector<Section> sections;
  Section* current = nullptr;
  for (const std::string& line : lines_) {
    if (std::optional<std::string> name = SectionName(line)) {
      current = nullptr;
      for (Section& s : sections)
        if (SameTextIgnoringCase(s.name, *name)) current = &s;
      if (!current) current = &sections.emplace_back(Section{*name, {}});
      continue;
    }
    if (!current) continue;
    std::optional<Entry> entry = EntryOf(line);
    if (!entry) continue;
    bool known = false;
    for (const Entry& e : current->entries) known = known || SameTextIgnoringCase(e.name, entry->name);
    if (!known) current->entries.push_back(std::move(*entry));
  }
  return sections;
}

std::optional<std::string> BackupText::Find(std::string_view section, std::string_view name) const {
  for (const Section& s : Sections()) {
    if (!SameTextIgnoringCase(s.name, section)) continue;
    for (const Entry& e : s.entries)
      if (SameTextIgnoringCase(e.name, name)) return e.entry;
  }
  return std::nullopt;
}

void BackupText::Add(std::string_view section, std::string_view name, std::string_view entry) {
  const std::string line = std::string(name) + "=" + std::string(entry);
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::string> header = SectionName(lines_[i]);
    if (!header || !SameTextIgnoringCase(*header, section)) continue;
    // After the section's last line that is not blank, before the blank lines that part it
    // from the next one.
    size_t last = i;
    for (size_t j = i + 1; j < lines_.size() && !SectionName(lines_[j]); ++j)
      if (!Trim(lines_[j], Blanks::kSpacesAndTabs).empty()) last = j;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), line);
    return;
  }
  if (!lines_.empty() && !Trim(lines_.back(), Blanks::kSpacesAndTabs).empty()) lines_.emplace_back();
  lines_.push_back("[" + std::string(section) + "]");
  lines_.push_back(line);
}

void BackupText::SetEntryCount() {
  const size_t count = EntryCount(Sections());
  // The count there was goes, wherever it stood, with the blank lines after it.
  std::vector<std::string> rest;
  bool in_count = false;
  for (const std::string& line : lines_) {
    if (const std::optional<std::string> name = SectionName(line)) in_count = SameTextIgnoringCase(*name, kEntryCountSection);
    if (!in_count && !(rest.empty() && Trim(line, Blanks::kSpacesAndTabs).empty())) rest.push_back(line);
  }
  lines_ = {"[" + std::string(kEntryCountSection) + "]", std::string(kEntryCountName) + "=" + std::to_string(count), ""};
  lines_.insert(lines_.end(), rest.begin(), rest.end());
}

std::string BackupText::text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return text;
}

std::optional<std::string> ReadTypedValue(const std::optional<RegistryValue>& value) {
  if (!value) return "0";
  switch (value->type) {
    case kRegSz:
    case kRegExpandSz: {
      const std::string text = RegistryDataToString(value->data);
      if (StringToRegistryData(text) != value->data) return std::nullopt;
      if (text.find_first_of("\r\n") != std::string::npos) return std::nullopt;
      return (value->type == kRegSz ? "1" : "2") + text;
    }
    case kRegDword:
    case kRegBinary:
      if (value->data.size() != 4) return std::nullopt;
      return (value->type == kRegDword ? "3" : "4") + std::to_string(Signed32(value->data));
  }
  return std::nullopt;
}

TypedValue WriteTypedValue(std::string_view entry) {
  if (entry.empty()) return {};
  const std::string_view data = entry.substr(1);
  switch (entry.front()) {
    case '0':
      return data.empty() ? TypedValue{true, std::nullopt} : TypedValue{};
    case '1':
    case '2':
      // An empty string comes back as an empty string of its type, not as no value.
      return {true, RegistryValue{entry.front() == '1' ? kRegSz : kRegExpandSz, StringToRegistryData(data)}};
    case '3':
    case '4': {
      const std::optional<std::uint32_t> n = Number32(data);
      if (!n) return {};
      return {true, RegistryValue{entry.front() == '3' ? kRegDword : kRegBinary, Le32(*n)}};
    }
  }
  return {};
}

bool BackupTextReadsWhole(std::string_view text) {
  if (text.empty() || text.back() != '\n') return false;
  bool in_section = false;
  for (const std::string& line : SplitFileLines(text))
    if (!KnownLine(line, in_section)) return false;
  const std::vector<BackupText::Section> sections = BackupText(text).Sections();
  for (const BackupText::Section& section : sections) {
    if (!IsEntryCount(section)) continue;
    if (section.entries.size() != 1 || !SameTextIgnoringCase(section.entries[0].name, kEntryCountName)) return false;
    const std::optional<std::uint64_t> count = ParseWholeNumber(section.entries[0].entry);
    // More entries than counted were added by hand or by an earlier version; fewer were cut.
    if (!count || *count > EntryCount(sections)) return false;
  }
  return true;
}

BackupFile ReadBackupFile(const std::string& path) {
  const FileRead read = ReadFileIfPresent(path);
  if (read.status == FileRead::Status::kMissing) return {};
  if (read.status == FileRead::Status::kUnreadable) return {BackupFileState::kUnreadable, BackupText()};
  const std::optional<std::string> text = DecodeFileText(read.bytes);
  if (!text) return {BackupFileState::kUnreadable, BackupText()};
  if (!BackupTextReadsWhole(*text)) return {BackupFileState::kDamaged, BackupText()};
  return {BackupFileState::kWhole, BackupText(*text)};
}

BackupOutcome BackupValue(TRegistry& registry, const std::string& backup_path, std::string_view name) {
  BackupFile file = ReadBackupFile(backup_path);
  if (file.state == BackupFileState::kUnreadable) return BackupOutcome::kFileUnreadable;
  if (file.state == BackupFileState::kDamaged) return BackupOutcome::kFileDamaged;
  const std::string section = SectionOf(registry);
  if (file.text.Find(section, name)) return BackupOutcome::kAlreadyRecorded;
  const std::optional<RegistryValue> value = registry.ReadValue(name);
  if (!value) {
    // Only a value that is not there may be recorded as absent: one that is there but
    // cannot be read would be deleted by the restore.
    bool listed = false;
    if (ValueListed(registry, name, listed) || !listed) return BackupOutcome::kUnrecordable;
  }
  const std::optional<std::string> entry = ReadTypedValue(value);
  if (!entry) return BackupOutcome::kUnrecordable;
  file.text.Add(section, name, *entry);
  file.text.SetEntryCount();
  if (!WriteWholeFileReplacing(backup_path, EncodeFileText(file.text.text()))) return BackupOutcome::kFileNotWritten;
  return BackupOutcome::kRecorded;
}

SettingsWriter::SettingsWriter(TRegistry& registry, std::string backup_path)
    : registry_(registry), backup_path_(std::move(backup_path)) {}

bool SettingsWriter::OpenKey(RootKey root, std::string_view path) {
  registry_.SetRootKey(root);
  if (registry_.OpenKey(path, false)) return true;
  error_ = "キー「" + TRegistryFile::RootKeyToName(root) + "\\" + NormalizeKeyPath(path) + "」を開けませんでした。";
  return false;
}

bool SettingsWriter::WriteValue(std::string_view name, const RegistryValue& value) {
  const std::string where = "「" + SectionOf(registry_) + "」の「" + std::string(name) + "」";
  switch (BackupValue(registry_, backup_path_, name)) {
    case BackupOutcome::kRecorded:
      recorded_ = true;
      break;
    case BackupOutcome::kAlreadyRecorded:
      break;
    case BackupOutcome::kUnrecordable:
      error_ = where + "は、今の値を元に戻せる形で記録できないため、書き換えませんでした。";
      return false;
    case BackupOutcome::kFileUnreadable:
      error_ = "data\\windata.ini を読み込めないため、" + where + "は書き換えませんでした。";
      return false;
    case BackupOutcome::kFileDamaged:
      error_ = "data\\windata.ini が途中で切れているか壊れているため、" + where + "は書き換えませんでした。";
      return false;
    case BackupOutcome::kFileNotWritten:
      error_ = "data\\windata.ini に書き込めないため、" + where + "は書き換えませんでした。";
      return false;
  }
  if (registry_.WriteValue(name, value)) return true;
  error_ = where + "を書き込めませんでした。";
  return false;
}

bool SettingsWriter::WriteInteger(std::string_view name, std::uint32_t number) {
  return WriteValue(name, RegistryValue{kRegDword, Le32(number)});
}

bool SettingsWriter::WriteString(std::string_view name, std::string_view text) {
  return WriteValue(name, RegistryValue{kRegSz, StringToRegistryData(text)});
}

bool SettingsWriter::WriteExpandString(std::string_view name, std::string_view text) {
  return WriteValue(name, RegistryValue{kRegExpandSz, StringToRegistryData(text)});
}

RestoreResult RestoreRecordedValues(TRegistry& registry, const std::string& backup_path, const BackupScope& scope) {
  RestoreResult result;
  const BackupFile file = ReadBackupFile(backup_path);
  result.file = file.state;
  if (file.state != BackupFileState::kWhole) return result;
  // Every entry is checked before anything is written.
  struct Planned {
    RootKey root;
    std::string path, where, name;
    std::optional<RegistryValue> value;
  };
  std::vector<Planned> planned;
  for (const BackupText::Section& section : file.text.Sections()) {
    if (IsEntryCount(section)) continue;
    const size_t backslash = section.name.find('\\');
    const RootKey root =
        backslash == std::string::npos ? RootKey::kNone : TRegistryFile::RootNameToKey(section.name.substr(0, backslash));
    const std::string path = backslash == std::string::npos ? "" : NormalizeKeyPath(section.name.substr(backslash));
    for (const BackupText::Entry& entry : section.entries) {
      const std::string where = "「" + section.name + "」の「" + entry.name + "」";
      const TypedValue typed = WriteTypedValue(entry.entry);
      if (!typed.understood)
        result.refused.push_back(where + ": 記録「" + entry.entry + "」の形式が分かりません。");
      else if (root == RootKey::kNone || !scope.Records(root, path, entry.name, typed.value))
        result.refused.push_back(where + ": このページが記録する値ではありません。");
      else
        planned.push_back({root, path, where, entry.name, typed.value});
    }
  }
  if (!result.refused.empty()) return result;
  for (const Planned& p : planned) {
    registry.SetRootKey(p.root);
    if (!registry.OpenKey(p.path, false)) {
      // A value that was not there is not there when its key is gone either.
      if (!p.value && !registry.KeyExists(p.path)) continue;
      result.failures.push_back(p.where + ": キーを開けませんでした。");
      continue;
    }
    if (!p.value) {
      bool listed = false;
      if ((ValueListed(registry, p.name, listed) || !listed) && !registry.DeleteValue(p.name))
        result.failures.push_back(p.where + ": 削除できませんでした。");
      continue;
    }
    const std::optional<RegistryValue> value = scope.ToWrite(p.name, *p.value, registry.ReadValue(p.name));
    if (!value)
      result.failures.push_back(p.where + ": 今の値には、記録した形で戻せません。");
    else if (!registry.WriteValue(p.name, *value))
      result.failures.push_back(p.where + ": 書き込めませんでした。");
  }
  registry.CloseKey();
  return result;
}

bool RestoreSettings(TRegistry& registry, Prompt& prompt, const std::string& backup_path, const BackupScope& scope,
                     const std::function<void()>& refill, RestartPort& restart) {
  if (!prompt.AskYesNo(kRestoreQuestion, kRestoreTitle, PromptIcon::kQuestion)) return FileIsThere(backup_path);
  const RestoreResult result = RestoreRecordedValues(registry, backup_path, scope);
  if (const std::optional<std::string> refusal = RefusalText(result)) {
    prompt.ShowMessage(*refusal, kAppTitle, PromptIcon::kError);
    return FileIsThere(backup_path);
  }
  refill();
  if (!result.failures.empty()) {
    prompt.ShowMessage("次の値を元に戻せませんでした。\n\n" + JoinLines(result.failures) +
                           "\nほかの値は元に戻しました。data\\windata.ini は残してあります。",
                       kAppTitle, PromptIcon::kError);
    return true;
  }
  const bool still_there = !DeleteFileAt(backup_path);
  if (still_there)
    prompt.ShowMessage("data\\windata.ini を削除できませんでした。", kAppTitle, PromptIcon::kWarning);
  if (prompt.AskYesNo(kRestartQuestion, kRestartTitle, PromptIcon::kQuestion)) restart.RestartSystem();
  return still_there;
}

}  // namespace orvela
