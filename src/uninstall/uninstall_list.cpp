#include "uninstall/uninstall_list.h"

#include <algorithm>
#include <cctype>

#include "system/command_line.h"
#include "platform/app_title.h"
#include "platform/plain_text.h"
#include "regfile/registry_accessor.h"
#include "regfile/registry_file.h"

namespace orvela {
namespace {

// A text value; values of other types count as missing.
std::optional<std::string> ReadText(RegistryKey* key, std::string_view name) {
  if (!key) return std::nullopt;
  const std::optional<RegistryValue> value = key->ReadValue(name);
  if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
  return RegistryDataToString(value->data);
}

std::string TextOr(RegistryKey* key, std::string_view name, std::string fallback = {}) {
  return ReadText(key, name).value_or(std::move(fallback));
}

std::string WithoutQuotes(std::string_view text) { return ReplaceAll(text, "\"", ""); }

std::string WithoutSlashes(std::string_view text) { return ReplaceAll(text, "/", ""); }

// The first `count` characters of UTF-8 text.
std::string_view FirstCharacters(std::string_view text, size_t count) {
  size_t pos = 0;
  while (pos < text.size() && count > 0) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
    --count;
  }
  return text.substr(0, pos);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string UninstallKey::BackendPath() const { return NormalizeKeyPath(key_path + "\\" + subkey); }

std::string UninstallKey::FullName() const {
  return TRegistryFile::RootKeyToName(root) + "\\" + BackendPath();
}

std::optional<int64_t> TextToInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;  // no digit
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > (int64_t{1} << 40)) return std::nullopt;  // far past anything four characters hold
  }
  return negative ? -value : value;
}

bool IsUpdateEntry(std::string_view title) {
  const size_t kb = title.find("KB");
  if (kb == std::string_view::npos) return false;
  const std::optional<int64_t> number = TextToInteger(FirstCharacters(title.substr(kb + 2), 4));
  return number && *number != -1;
}

std::vector<SortRow> CollectUninstallRows(RegistryBackend& registry, const UninstallSystem& system,
                                          UninstallMode mode, bool show_all,
                                          const std::function<void()>& pace) {
  std::vector<SortRow> rows;
  for (const UninstallSource& source : kUninstallSources) {
    std::vector<std::string> names;
    if (auto key = registry.OpenKey(source.root, NormalizeKeyPath(source.path), KeyAccess::kRead))
      names = key->SubkeyNames().value_or(std::vector<std::string>{});
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
      SortRow row{{}, {}, {source.root, std::string(source.path), *name}};
      const std::unique_ptr<RegistryKey> key = registry.OpenKey(source.root, row.key.BackendPath(), KeyAccess::kRead);
      row.caption = TextOr(key.get(), "DisplayName", "0");
      const std::string uninstall = TextOr(key.get(), "UninstallString");
      std::string date = TextOr(key.get(), "InstallDate");
      if (date.empty()) date = system.FileDateText(WithoutQuotes(uninstall));
      row.date_key = WithoutSlashes(date);
      const bool update = IsUpdateEntry(row.caption);
      const bool listed = mode == UninstallMode::kPrograms
                              ? !update && (show_all || (row.caption != "0" && !uninstall.empty()))
                              : update && !uninstall.empty();
      if (listed) rows.push_back(std::move(row));
      if (pace) pace();
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [&system](const SortRow& a, const SortRow& b) {
    return system.CompareText(a.caption, b.caption) < 0;
  });
  return rows;
}

void SortUninstallRows(std::vector<SortRow>& rows, bool by_date, bool ascending,
                       const UninstallSystem& system) {
  std::stable_sort(rows.begin(), rows.end(), [&](const SortRow& a, const SortRow& b) {
    const int order = by_date ? system.CompareText(a.date_key, b.date_key) : system.CompareText(a.caption, b.caption);
    return ascending ? order < 0 : order > 0;
  });
  std::stable_partition(rows.begin(), rows.end(), [](const SortRow& row) { return row.date_key.empty(); });
}

UninstallEntry ReadUninstallEntry(RegistryBackend& registry, const SortRow& row,
                                  const UninstallSystem& system) {
  UninstallEntry entry;
  entry.key = row.key;
  const std::unique_ptr<RegistryKey> key = registry.OpenKey(row.key.root, row.key.BackendPath(), KeyAccess::kRead);
  if (!key) return entry;
  entry.display_name = TextOr(key.get(), "DisplayName");
  if (entry.display_name.empty()) entry.display_name = TextOr(key.get(), "QuietDisplayName");
  const std::string uninstall = TextOr(key.get(), "UninstallString");
  entry.command = uninstall.empty() ? TextOr(key.get(), "QuietUninstallString") : uninstall;
  entry.publisher = TextOr(key.get(), "Publisher");
  entry.date_text = TextOr(key.get(), "InstallDate");
  if (entry.date_text.empty()) entry.date_text = system.FileDateText(WithoutQuotes(uninstall));
  entry.icon_file = UninstallIconFile(entry.command, system);
  return entry;
}

std::string UninstallIconFile(const std::string& command, const ProgramLookup& system) {
  std::string path = ProgramPathOf(command);
  if (path.size() >= 4) {
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".lnk") path = system.ResolveLink(path);
  }
  if (path.empty() || system.KindOf(path) != PathKind::kNone) return path;
  const DriveKind drive = system.DriveKindOf(path);
  if (drive != DriveKind::kRemovable && drive != DriveKind::kCdRom) path = system.SystemFolder() + "\\" + path;
  size_t cut = path.find('/');
  if (cut == std::string::npos) cut = path.find(' ');
  if (cut != std::string::npos) path.resize(cut);
  path = std::string(Trim(path, Blanks::kSpaces));
  if (path.find('.') == std::string::npos) {
    if (system.KindOf(path + ".exe") == PathKind::kFile) {
      path += ".exe";
    } else if (system.KindOf(path + ".dll") == PathKind::kFile) {
      path += ".dll";
    }
  }
  return path;
}

std::optional<int> FindUninstallEntry(const std::vector<UninstallEntry>& entries, std::string_view text,
                                      int start, const UninstallSystem& system) {
  if (text.empty()) return std::nullopt;
  const std::string wanted = system.LowerCase(text);
  for (int row = std::max(start, 0); row < static_cast<int>(entries.size()); ++row) {
    if (system.LowerCase(entries[static_cast<size_t>(row)].display_name).find(wanted) != std::string::npos)
      return row;
  }
  return std::nullopt;
}

bool OffersUninstall(const UninstallEntry& entry, std::string_view program_folder,
                     const UninstallSystem& system) {
  if (entry.display_name == kAppTitle) return false;
  const std::string own = std::string(program_folder) + std::string(kOwnUninstallerName);
  return system.LowerCase(ProgramPathOf(entry.command)) != system.LowerCase(own);
}

std::optional<int> RowOfKey(const std::vector<SortRow>& rows, const UninstallKey& key) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].key == key) return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace orvela
