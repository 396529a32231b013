#include "disabled_box/disabled_box.h"

#include <tuple>

namespace orvela {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

EntryRecord UnrecognisedRecord(std::string_view line) {
  EntryRecord record;
  record.Unrecognised = true;
  record.Name = std::string(line.substr(0, line.find('=')));
  record.Command = std::string(line);
  return record;
}

// The registry line prefixes and the record's Key and Kind each stands for. None is the
// start of another ("Machine32@" is no "Machine@").
struct RegistryPrefix {
  std::string_view prefix;
  int32_t key;
  std::string_view kind;
};
constexpr RegistryPrefix kRegistryPrefixes[] = {
    {kUserLinePrefix, kUserRunKey, ""},
    {kMachine32LinePrefix, kMachineKey, "Run32"},
    {kMachineOnce32LinePrefix, kMachineKey, "RunOnce32"},
    {kMachineLinePrefix, kMachineKey, "Run"},
    {kMachineOnceLinePrefix, kMachineKey, "RunOnce"},
    {kUserOnceLinePrefix, kUserRunKey, "RunOnce"},
    {kUserPolicyLinePrefix, kUserRunKey, "PolicyRun"},
    {kMachinePolicyLinePrefix, kMachineKey, "PolicyRun"},
};

// "User@Tool" -> user entry "Tool". Only the prefixes the program writes count.
bool ParseRegistryKeyPart(std::string_view key_part, EntryRecord& record) {
  for (const RegistryPrefix& form : kRegistryPrefixes) {
    if (!StartsWith(key_part, form.prefix)) continue;
    record.Key = form.key;
    record.Kind = std::string(form.kind);
    record.Name = std::string(key_part.substr(form.prefix.size()));
    return true;
  }
  return false;
}

// The prefix of a registry record's key; "" for a record of no Run-type key.
std::string_view RegistryPrefixOf(const EntryRecord& record) {
  for (const RegistryPrefix& form : kRegistryPrefixes)
    if (record.Key == form.key && record.Kind == form.kind) return form.prefix;
  return {};
}

// "Task@\Vendor\Agent": a path that starts at the top folder and ends in a name.
bool ParseTaskKeyPart(std::string_view key_part, EntryRecord& record) {
  if (!StartsWith(key_part, kTaskLinePrefix)) return false;
  const std::string_view path = key_part.substr(kTaskLinePrefix.size());
  if (!StartsWith(path, "\\") || path.back() == '\\') return false;
  SetTaskPath(record, path);
  return TaskPathOf(record) == path;  // not "\\\\Agent" and the like
}

}  // namespace

bool HasControlCharacter(std::string_view text) {
  // On UTF-8 text a byte below 0x20 or 0x7F is always a whole character.
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

bool TextFitsLine(std::string_view text) { return !HasControlCharacter(text); }

bool NameFitsLine(std::string_view name) {
  return TextFitsLine(name) && !Contains(name, "=") && !Contains(name, kTargetMarker) &&
         !Contains(name, kItemIdMarker);
}

bool SendToNameFitsLine(std::string_view name) {
  return TextFitsLine(name) && !Contains(name, "=") && !Contains(name, kSendToMarker) &&
         !Contains(name, kItemIdMarker);
}

bool ProfileFitsLine(std::string_view profile) {
  return !profile.empty() && TextFitsLine(profile) && !Contains(profile, "=");
}

std::optional<std::string> RegistryEntryLine(const EntryRecord& record,
                                             const ProfileLocations& locations) {
  const std::string_view prefix = RegistryPrefixOf(record);
  if (prefix.empty()) return std::nullopt;
  if (!NameFitsLine(record.Name) || !TextFitsLine(record.Command)) return std::nullopt;
  std::string line = std::string(prefix) + record.Name + "=" + record.Command;
  const EntryRecord back = DisabledBoxRecord(line, locations);
  if (back.Unrecognised || RegistryPrefixOf(back) != prefix || back.Name != record.Name ||
      back.Command != record.Command)
    return std::nullopt;
  return line;
}

std::string TaskPathOf(const EntryRecord& record) {
  return (record.Kind == "\\" ? std::string() : record.Kind) + "\\" + record.Name;
}

std::pair<std::string, std::string> TaskFolderAndName(std::string_view path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {"\\", std::string(path)};
  return {slash == 0 ? "\\" : std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

void SetTaskPath(EntryRecord& record, std::string_view path) {
  record.Key = kTaskKey;
  std::tie(record.Kind, record.Name) = TaskFolderAndName(path);
}

std::optional<std::string> TaskEntryLine(const EntryRecord& record, const ProfileLocations& locations) {
  if (!IsTaskEntry(record)) return std::nullopt;
  const std::string path = TaskPathOf(record);
  if (!NameFitsLine(path) || !TextFitsLine(record.Command)) return std::nullopt;
  std::string line = std::string(kTaskLinePrefix) + path + "=" + record.Command;
  const EntryRecord back = DisabledBoxRecord(line, locations);
  if (back.Unrecognised || !IsTaskEntry(back) || TaskPathOf(back) != path || back.Command != record.Command)
    return std::nullopt;
  return line;
}

std::optional<std::string> FolderEntryLine(const ProfileLocations& locations, int profile,
                                           std::string_view name, std::string_view target,
                                           bool item_id_form) {
  if (profile < 0 || profile >= static_cast<int>(locations.profiles().size())) return std::nullopt;
  const std::string& profile_name = locations.profiles()[static_cast<size_t>(profile)];
  if (!ProfileFitsLine(profile_name) || !NameFitsLine(name) || !TextFitsLine(target))
    return std::nullopt;
  std::string line = profile_name + "=" + std::string(name) +
                     std::string(item_id_form ? kItemIdMarker : kTargetMarker) + std::string(target);
  // Names ending in "#$", "@" or "@@" run into the marker and read back shorter.
  const EntryRecord back = DisabledBoxRecord(line, locations);
  if (back.Unrecognised || back.Key != profile || back.Name != name || back.Command != target ||
      back.ItemIdForm != item_id_form)
    return std::nullopt;
  return line;
}

EntryRecord DisabledBoxRecord(std::string_view line, const ProfileLocations& locations) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return UnrecognisedRecord(line);
  const std::string_view key_part = line.substr(0, equals);
  const std::string_view value_part = line.substr(equals + 1);

  EntryRecord record;
  if (const std::optional<int> profile = locations.ProfileIndexOf(key_part)) {
    size_t marker = value_part.find(kTargetMarker);
    if (marker == std::string_view::npos) {
      marker = value_part.find(kItemIdMarker);
      if (marker == std::string_view::npos) return UnrecognisedRecord(line);
      record.ItemIdForm = true;
    }
    record.Key = *profile;
    record.Name = std::string(value_part.substr(0, marker));
    record.Command = std::string(value_part.substr(marker + kTargetMarker.size()));
    record.Location = locations.FolderOf(FolderKind::kStartup, *profile);
    return record;
  }
  if (!ParseRegistryKeyPart(key_part, record) && !ParseTaskKeyPart(key_part, record))
    return UnrecognisedRecord(line);
  record.Command = std::string(value_part);
  return record;
}

std::vector<EntryRecord> DisabledBoxRecords(const std::vector<std::string>& lines,
                                            const ProfileLocations& locations) {
  std::vector<EntryRecord> records;
  records.reserve(lines.size());
  for (const std::string& line : lines) records.push_back(DisabledBoxRecord(line, locations));
  return records;
}

std::optional<std::string> FormatSendToLine(const SendToLine& line) {
  if (!ProfileFitsLine(line.profile) || Contains(line.profile, kSendToMarker) ||
      !SendToNameFitsLine(line.name) || !TextFitsLine(line.target)) {
    return std::nullopt;
  }
  // A target that starts like a mark would read back as another form.
  if ((!line.shortcut && StartsWith(line.target, kSendToShortcutMark)) ||
      (!line.item_id_form && StartsWith(line.target, kItemIdMarker))) {
    return std::nullopt;
  }
  std::string text = line.profile + std::string(kSendToMarker) + line.name + "=";
  if (line.shortcut) text += kSendToShortcutMark;
  if (line.item_id_form) text += kItemIdMarker;
  text += line.target;
  // A profile ending in "@#" or "@" runs into the marker and reads back as another one.
  const std::optional<SendToLine> back = ParseSendToLine(text);
  if (!back || back->profile != line.profile || back->name != line.name || back->shortcut != line.shortcut ||
      back->item_id_form != line.item_id_form || back->target != line.target)
    return std::nullopt;
  return text;
}

std::optional<SendToLine> ParseSendToLine(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key_part = line.substr(0, equals);
  const size_t marker = key_part.find(kSendToMarker);
  if (marker == std::string_view::npos) return std::nullopt;
  SendToLine parsed;
  parsed.profile = std::string(key_part.substr(0, marker));
  parsed.name = std::string(key_part.substr(marker + kSendToMarker.size()));
  std::string_view value = line.substr(equals + 1);
  if (StartsWith(value, kSendToShortcutMark)) {
    parsed.shortcut = true;
    value.remove_prefix(kSendToShortcutMark.size());
  }
  if (StartsWith(value, kItemIdMarker)) {
    parsed.item_id_form = true;
    value.remove_prefix(kItemIdMarker.size());
  }
  parsed.target = std::string(value);
  return parsed;
}

}  // namespace orvela
