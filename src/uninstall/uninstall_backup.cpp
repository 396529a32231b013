#include "uninstall/uninstall_backup.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "components/link_naming.h"
#include "platform/app_title.h"
#include "platform/file_io.h"

namespace orvela {
namespace {

// UTF-16 units of UTF-8 text: four-byte sequences take two.
size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

// At most `units` UTF-16 units of the text, cut between characters.
std::string_view CutToUnits(std::string_view text, size_t units) {
  size_t used = 0, pos = 0;
  while (pos < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    const size_t need = lead >= 0xF0 ? 2 : 1;
    if (used + need > units) break;
    used += need;
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  }
  return text.substr(0, pos);
}

bool IsDeviceName(std::string_view stem) {
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  std::string upper(stem.substr(0, stem.find('.')));
  while (!upper.empty() && upper.back() == ' ') upper.pop_back();
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
  return upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) && upper[3] >= '1' &&
         upper[3] <= '9';
}

bool IsValidFileName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ' || IsDeviceName(name)) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
  });
}

std::string SafeName(std::string_view title) {
  std::string name = FileMogChk(std::string(title));
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20) c = '_';
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) name = "0";
  if (IsDeviceName(name)) name += "_";
  return name;
}

std::string NameList(const SaveResult& result) {
  std::string list;
  for (const std::string& key : result.keys_not_saved) list += "\n[" + key + "] (キー全体)";
  for (const auto& [key, value] : result.values_not_saved)
    list += "\n[" + key + "] " + (value.empty() ? std::string("(既定)") : value);
  return list;
}

// The entry a file restores: the key right below the Uninstall key its first section lies
// in (a damaged first section line may leave a subkey's section first). None when that
// section lies in no Uninstall key.
std::optional<std::string> BackupEntryKey(const KeysFileCheck& check) {
  if (check.sections.empty()) return std::nullopt;
  const std::string& first = check.sections.front().key;
  for (const UninstallSource& source : kUninstallSources) {
    const std::string top = TRegistryFile::RootKeyToName(source.root) + std::string(source.path);
    if (first.size() <= top.size() + 1 || !IsKeyOrBelow(first, top)) continue;
    return first.substr(0, first.find('\\', top.size() + 1));
  }
  return std::nullopt;
}

}  // namespace

std::string BackupFileStem(std::string_view title, std::string_view folder) {
  std::string stem = IsValidFileName(title) ? std::string(title) : SafeName(title);
  // Room for the folder, four digits of numbering and ".reg".
  const size_t folder_units = Utf16Length(folder);
  const size_t room = kLongestPath > folder_units + 8 ? kLongestPath - folder_units - 8 : 1;
  const size_t limit = std::min<size_t>(room, 255 - 8);
  if (Utf16Length(stem) > limit) {
    stem = std::string(CutToUnits(stem, limit));
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    if (stem.empty()) stem = "0";
  }
  return stem;
}

std::string ChooseBackupFile(std::string_view folder, std::string_view title,
                             const std::function<bool(const std::string&)>& taken) {
  const std::string stem = std::string(folder) + BackupFileStem(title, folder);
  std::string file = stem + ".reg";
  for (int number = 1; taken(file); ++number) file = stem + std::to_string(number) + ".reg";
  return file;
}

std::string BackupCaption(std::string_view file_name) {
  const size_t dot = file_name.rfind('.');
  return std::string(dot == std::string_view::npos ? file_name : file_name.substr(0, dot));
}

UninstallBackup SaveUninstallBackup(RegistryBackend& registry, Prompt& prompt, std::string_view folder,
                                    std::string_view title, const UninstallKey& key) {
  UninstallBackup backup;
  backup.file = ChooseBackupFile(folder, title, [](const std::string& path) {
    return ReadFileIfPresent(path).status != FileRead::Status::kMissing;
  });
  TRegistryFile writer(registry, prompt);
  const std::string bytes = writer.KeysFileBytes({key.FullName()}, {}, backup.result);
  const auto& unsaved = backup.result.keys_not_saved;
  if (std::find(unsaved.begin(), unsaved.end(), key.FullName()) != unsaved.end()) return backup;
  backup.result.file_written = WriteNewFile(backup.file, bytes, &backup.error);
  return backup;
}

std::string IncompleteBackupText(const UninstallBackup& backup) {
  const std::string tail = "\n\n元に戻せなくなるため、削除しませんでした。";
  if (!backup.result.file_written && backup.result.keys_not_saved.empty())
    return "アンインストール情報をファイルに保存できませんでした。\n" + backup.file + "\n理由：" +
           SystemErrorText(backup.error) + tail;
  return "次の情報はファイルに保存できませんでした。" + NameList(backup.result) + tail;
}

RestoreOutcome RestoreUninstallBackup(const std::string& file, RegistryBackend& registry, Prompt& prompt) {
  TRegistryFile reader(registry, prompt);
  const std::optional<std::string> bytes = ReadWholeFile(file);
  const KeysFileCheck check = bytes ? reader.CheckKeysBytes(*bytes) : KeysFileCheck{};
  if (!check.accepted) {
    prompt.ShowMessage(TRegistryFile::kNotRegistryFile, kAppTitle, PromptIcon::kWarning);
    return RestoreOutcome::kRejected;
  }
  const std::optional<std::string> entry = BackupEntryKey(check);
  const std::vector<std::string> outside = check.SectionsOutside(entry ? std::vector{*entry} : std::vector<std::string>{});
  if (!outside.empty()) {
    prompt.ShowMessage(std::string(kOutsideEntry) + "\n" + file + "\n\n" + std::string(kOutsideKeysHeading) +
                           BracketedNameLines(outside),
                       kAppTitle, PromptIcon::kWarning);
    return RestoreOutcome::kRejected;
  }
  // A restore writes from a file that reads whole, unless the user wants what can be read.
  if (!check.sound() &&
      !prompt.AskYesNoDefaultNo(std::string(kDamagedBackupQuestion) + "\n" + file + "\n\n" +
                                    std::string(kRestoreReadablePart),
                                kAppTitle, PromptIcon::kWarning))
    return RestoreOutcome::kRejected;
  // The bytes checked are the bytes loaded.
  reader.LoadKeysFromBytes(*bytes, file, {}, {}, {}, false);
  const std::vector<std::string> missing = reader.NotAsSaved(check);
  if (!missing.empty())
    prompt.ShowMessage(std::string(kPartlyRestored) + "\n" + file + BracketedNameLines(missing),
                       kAppTitle, PromptIcon::kWarning);
  return missing.empty() && check.sound() ? RestoreOutcome::kRestored : RestoreOutcome::kPartial;
}

BackupRowsResult ProcessBackupRows(const std::vector<std::string>& captions, const std::vector<bool>& selected,
                                   const std::string& folder, bool restore, RegistryBackend& registry,
                                   Prompt& prompt) {
  BackupRowsResult result;
  for (size_t row = captions.size(); row-- > 0;) {
    if (row >= selected.size() || !selected[row]) continue;
    const std::string file = folder + captions[row] + ".reg";
    if (restore) {
      const RestoreOutcome outcome = RestoreUninstallBackup(file, registry, prompt);
      if (outcome == RestoreOutcome::kRejected) continue;
      result.restored = true;
      if (outcome == RestoreOutcome::kPartial) continue;  // the user was told; the file stays
    }
    // A file that is not there was not deleted: its row stays.
    if (ReadFileIfPresent(file).status == FileRead::Status::kMissing) continue;
    if (DeleteFileAt(file)) result.removed.push_back(row);
  }
  return result;
}

}  // namespace orvela
