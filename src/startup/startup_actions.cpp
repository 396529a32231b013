#include "startup/startup_actions.h"

#include <algorithm>
#include <functional>
#include <cctype>

#include "common/line_list_file.h"
#include "components/item_id_list.h"
#include "components/link_naming.h"
#include "regfile/registry.h"
#include "common/disabled_box.h"
#include "startup/startup_entries.h"

namespace orvela {
namespace {

namespace msg = startup_messages;

constexpr std::string_view kCaption = "Orvela";

std::unique_ptr<RegistryKey> OpenRunKey(RegistryBackend& registry, int location, bool create) {
  const RunKeyLocation& where = kRunKeyLocations.at(static_cast<size_t>(location));
  return registry.OpenKey(where.root, where.path, create);
}

bool RunKeyExists(RegistryBackend& registry, int location) {
  const RunKeyLocation& where = kRunKeyLocations.at(static_cast<size_t>(location));
  return registry.KeyExists(where.root, where.path);
}

// Shows "[" + name + "]\n" + text and keeps it in the result.
ActionResult& Tell(StartupContext& context, ActionResult& result, std::string_view name,
                   std::string_view text, PromptIcon icon) {
  result.message = "[" + std::string(name) + "]\n" + std::string(text);
  context.prompt.ShowMessage(result.message, kCaption, icon);
  return result;
}

ActionResult Told(StartupContext& context, std::string_view name, std::string_view text,
                  PromptIcon icon = PromptIcon::kWarning) {
  ActionResult result;
  Tell(context, result, name, text, icon);
  return result;
}

// The Disabled Box becomes `lines`, in memory and in its file, or stays as it was.
bool CommitBox(StartupContext& context, std::vector<std::string> lines) {
  if (!context.box_writable || !SaveLineList(context.box_path, lines)) return false;
  context.box_lines = std::move(lines);
  return true;
}

std::vector<std::string> WithLine(const std::vector<std::string>& lines, const std::string& line) {
  std::vector<std::string> result = lines;
  result.push_back(line);
  return result;
}

std::vector<std::string> WithoutLine(const std::vector<std::string>& lines, size_t row) {
  std::vector<std::string> result = lines;
  result.erase(result.begin() + static_cast<std::ptrdiff_t>(row));
  return result;
}

// The string data a line can give back as it was (a missing terminator is no loss).
bool StoredAsText(const RegistryValue& value, std::string_view text) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return false;
  const std::vector<std::uint8_t> encoded = StringToRegistryData(text);
  if (value.data == encoded) return true;
  return value.data.size() + 2 == encoded.size() &&
         std::equal(value.data.begin(), value.data.end(), encoded.begin());
}

enum class Placement { kPlaced, kDeclined, kFailed };

// Writes a Run value into a location; a different value of that name is replaced only when
// the user says so.
Placement PlaceRunValue(StartupContext& context, std::string_view name, const RegistryValue& value,
                        int location) {
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, true);
  if (!key) return Placement::kFailed;
  const std::optional<RegistryValue> existing = key->ReadValue(name);
  if (existing && *existing == value) return Placement::kPlaced;
  if (existing &&
      !context.prompt.AskYesNo("[" + std::string(name) + "]\n" + std::string(msg::kReplaceQuestion),
                               kCaption, PromptIcon::kQuestion)) {
    return Placement::kDeclined;
  }
  return key->WriteValue(name, value) ? Placement::kPlaced : Placement::kFailed;
}

// Removes a Run value if it is there; false when it is there and stays.
bool RemoveRunValue(StartupContext& context, std::string_view name, int location) {
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, false);
  if (!key) return !RunKeyExists(context.registry, location);
  if (!key->ReadValue(name)) return true;
  return key->DeleteValue(name);
}

// A command that is one quoted path names that path; anything else is taken as it stands.
std::string ShortcutPathOf(std::string_view command) {
  if (command.size() >= 2 && command.front() == '"' && command.back() == '"' &&
      command.substr(1, command.size() - 2).find('"') == std::string_view::npos) {
    return std::string(command.substr(1, command.size() - 2));
  }
  return std::string(command);
}

bool HasProfile(const StartupContext& context, int32_t key) {
  return key >= 0 && key < static_cast<int32_t>(context.locations.profiles().size());
}

// Disabling: the line goes into the box (and its file) first, then the live place is
// removed; when that fails the line is taken back out, so the entry is never in neither place.
ActionResult IntoBoxThenRemove(StartupContext& context, const EntryRecord& record, const std::string& line,
                               std::string_view not_removed, const std::function<bool()>& remove_live) {
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  const std::vector<std::string> before = context.box_lines;
  if (!CommitBox(context, WithLine(before, line)))
    return Told(context, record.Name, std::string(msg::kBoxNotWritten) + "\n" + context.box_path,
                PromptIcon::kError);
  if (!remove_live()) {
    CommitBox(context, before);
    return Told(context, record.Name, not_removed, PromptIcon::kError);
  }
  return {.changed = true};
}

ActionResult DisableRegistryEntry(StartupContext& context, const EntryRecord& record) {
  const int location = *RunLocationOf(record);
  if (!NameFitsLine(record.Name)) return Told(context, record.Name, msg::kNameNotStorable);
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, false);
  if (!key && RunKeyExists(context.registry, location))
    return Told(context, record.Name, msg::kKeyNotOpened, PromptIcon::kError);

  EntryRecord disabled = record;
  const std::optional<RegistryValue> live = key ? key->ReadValue(record.Name) : std::nullopt;
  if (live) {
    // The line keeps what the key holds now, which the list may show older.
    disabled.Command = RunValueText(*live);
    if (!StoredAsText(*live, disabled.Command))
      return Told(context, record.Name, msg::kValueNotStorable);
  }
  const std::optional<std::string> line = RegistryEntryLine(disabled);
  if (!line) return Told(context, record.Name, msg::kCommandNotStorable);

  return IntoBoxThenRemove(context, record, *line, msg::kNotDisabledValue,
                           [&] { return !live || key->DeleteValue(record.Name); });
}

ActionResult DisableFolderEntry(StartupContext& context, const EntryRecord& record) {
  if (!HasProfile(context, record.Key)) return {};
  const std::string& profile = context.locations.profiles()[static_cast<size_t>(record.Key)];
  if (!NameFitsLine(record.Name)) return Told(context, record.Name, msg::kNameNotStorable);
  if (!ProfileFitsLine(profile)) return Told(context, record.Name, msg::kProfileNotStorable);
  if (!context.shell.FileExists(record.Command))
    return Told(context, record.Name, msg::kFileNotFound);

  std::optional<std::string> line;
  const std::string target = context.shell.ResolveLink(record.Command);
  if (target != record.Command) {
    line = FolderEntryLine(profile, record.Name, target, false);
  } else {
    // No existing target: keep the shell item the shortcut points to.
    const auto list = context.shell.LinkTargetItemIdList(record.Command);
    const std::optional<std::string> hex =
        list ? ItemIdListToHex(list->data(), list->size()) : std::nullopt;
    if (!hex) return Told(context, record.Name, msg::kNotAShortcut);
    line = FolderEntryLine(profile, record.Name, *hex, true);
  }
  if (!line) return Told(context, record.Name, msg::kCommandNotStorable);

  return IntoBoxThenRemove(context, record, *line, msg::kNotDisabledFile,
                           [&] { return context.shell.RemoveFile(record.Command); });
}

// Puts a Disabled Box record back into its place. kPlaced, or the user was told why not.
Placement EnableRecord(StartupContext& context, const EntryRecord& record, ActionResult& result) {
  if (const std::optional<int> location = RunLocationOf(record)) {
    const Placement placement =
        PlaceRunValue(context, record.Name, RunValueOf(record.Command), *location);
    if (placement == Placement::kFailed)
      Tell(context, result, record.Name, msg::kWriteFailedKept, PromptIcon::kError);
    return placement;
  }
  ShortcutTarget target;
  if (record.ItemIdForm) {
    const auto list = HexToItemIdList(record.Command);
    if (!list) {
      Tell(context, result, record.Name, msg::kItemIdUnreadable, PromptIcon::kError);
      return Placement::kFailed;
    }
    target.item_id_list = *list;
  } else {
    target.path = record.Command;
  }
  const std::string folder = context.locations.FolderOf(FolderKind::kStartup, record.Key);
  if (folder.empty() || context.shell.CreateShortcut(target, folder, record.Name).empty()) {
    Tell(context, result, record.Name, msg::kShortcutFailedKept, PromptIcon::kError);
    return Placement::kFailed;
  }
  return Placement::kPlaced;
}

ActionResult FolderToRegistry(StartupContext& context, const EntryRecord& record) {
  if (!HasProfile(context, record.Key)) return {};
  const std::string target = context.shell.ResolveLink(record.Command);
  if (target == record.Command) return Told(context, record.Name, msg::kNoLinkTarget);
  // The all-users folder's entries run for everyone: they go to the machine's key.
  const int location = record.Key == context.locations.all_users_index() ? 1 : 0;
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  const Placement placement = PlaceRunValue(context, record.Name, RunValueOf(target), location);
  if (placement == Placement::kDeclined) return {};
  if (placement == Placement::kFailed)
    return Told(context, record.Name, msg::kWriteFailed, PromptIcon::kError);
  ActionResult result{.changed = true};
  if (context.shell.FileExists(record.Command) && !context.shell.RemoveFile(record.Command))
    Tell(context, result, record.Name, msg::kOldPlaceKept, PromptIcon::kWarning);
  return result;
}

ActionResult RegistryToFolder(StartupContext& context, const EntryRecord& record) {
  const int location = *RunLocationOf(record);
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  const std::string folder = context.shell.StartupFolder(record.Key == kMachineKey);
  ShortcutTarget target;
  target.path = ShortcutPathOf(record.Command);
  // The shortcut first: the value goes only once the shortcut exists.
  if (folder.empty() || context.shell.CreateShortcut(target, folder, record.Name).empty())
    return Told(context, record.Name, msg::kNoShortcutForCommand);
  ActionResult result{.changed = true};
  if (!RemoveRunValue(context, record.Name, location))
    Tell(context, result, record.Name, msg::kOldPlaceKept, PromptIcon::kWarning);
  return result;
}

ActionResult MoveRunValue(StartupContext& context, const EntryRecord& record, int to) {
  const int from = *RunLocationOf(record);
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  // The value as stored moves, type and bytes; the list's text only when it is gone.
  std::optional<RegistryValue> value;
  if (const auto key = OpenRunKey(context.registry, from, false))
    value = key->ReadValue(record.Name);
  if (!value) value = RunValueOf(record.Command);
  const Placement placement = PlaceRunValue(context, record.Name, *value, to);
  if (placement == Placement::kDeclined) return {};
  if (placement == Placement::kFailed)
    return Told(context, record.Name, msg::kWriteFailed, PromptIcon::kError);
  ActionResult result{.changed = true};
  if (!RemoveRunValue(context, record.Name, from))
    Tell(context, result, record.Name, msg::kOldPlaceKept, PromptIcon::kWarning);
  return result;
}

ActionResult MoveFolderFile(StartupContext& context, const EntryRecord& record, int to) {
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  const std::string folder = context.locations.FolderOf(FolderKind::kStartup, to);
  if (folder.empty()) return {};
  // The file itself moves, so a shortcut keeps its arguments, icon and working folder.
  const std::string destination = JoinPath(folder, FileNamePart(record.Command));
  if (context.shell.FileExists(destination))
    return Told(context, record.Name, msg::kDestinationTaken);
  if (!context.shell.CopyFileTo(record.Command, destination))
    return Told(context, record.Name, msg::kNotCopied, PromptIcon::kError);
  ActionResult result{.changed = true};
  if (!context.shell.RemoveFile(record.Command))
    Tell(context, result, record.Name, msg::kOldPlaceKept, PromptIcon::kWarning);
  return result;
}

}  // namespace

ActionResult DisableStartupEntry(StartupContext& context, const EntryRecord& record) {
  if (record.Unrecognised) return {};
  return IsRegistryEntry(record) ? DisableRegistryEntry(context, record)
                                 : DisableFolderEntry(context, record);
}

ActionResult EnableStartupEntry(StartupContext& context, size_t row) {
  if (row >= context.box_lines.size()) return {};
  const EntryRecord record = DisabledBoxRecord(context.box_lines[row], context.locations);
  if (record.Unrecognised) return Told(context, record.Name, msg::kUnrecognisedLine);
  ActionResult result;
  if (EnableRecord(context, record, result) != Placement::kPlaced) return result;
  result.changed = true;
  // Live again: the line goes. If the file cannot follow, the entry is in both places.
  std::vector<std::string> remaining = WithoutLine(context.box_lines, row);
  if (!CommitBox(context, remaining)) {
    context.box_lines = std::move(remaining);
    Tell(context, result, record.Name,
         std::string(msg::kEnabledBoxNotWritten) + "\n" + context.box_path, PromptIcon::kError);
  }
  return result;
}

ActionResult DeleteStartupEntry(StartupContext& context, const EntryRecord& record, bool ask) {
  if (record.Unrecognised) return {};
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  if (ask && !context.prompt.AskYesNo(DeleteQuestion(record.Name, false), kDeleteCaption,
                                      PromptIcon::kQuestion)) {
    return {};
  }
  ActionResult result{.changed = true};
  if (const std::optional<int> location = RunLocationOf(record)) {
    if (!RemoveRunValue(context, record.Name, *location))
      Tell(context, result, record.Name, msg::kValueNotDeleted, PromptIcon::kError);
  } else if (context.shell.FileExists(record.Command) &&
             !context.shell.RemoveFile(record.Command)) {
    Tell(context, result, record.Name, msg::kFileNotDeleted, PromptIcon::kError);
  }
  return result;
}

ActionResult DeleteDisabledBoxEntry(StartupContext& context, size_t row, bool ask) {
  if (row >= context.box_lines.size()) return {};
  const EntryRecord record = DisabledBoxRecord(context.box_lines[row], context.locations);
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  if (ask && !context.prompt.AskYesNo(DeleteQuestion(record.Name, true), kDeleteCaption,
                                      PromptIcon::kQuestion)) {
    return {};
  }
  if (!CommitBox(context, WithoutLine(context.box_lines, row)))
    return Told(context, record.Name, std::string(msg::kBoxNotWritten) + "\n" + context.box_path,
                PromptIcon::kError);
  return {.changed = true};
}

ActionResult ChangeKind(StartupContext& context, const EntryRecord& record, int chosen_kind) {
  if (record.Unrecognised || !KindApplyEnabled(record, chosen_kind)) return {};
  if (record.Command.find('/') != std::string::npos) return {};
  return chosen_kind == 1 ? FolderToRegistry(context, record) : RegistryToFolder(context, record);
}

ActionResult ChangeLocation(StartupContext& context, const EntryRecord& record,
                            int chosen_location) {
  const int profile_count = static_cast<int>(context.locations.profiles().size());
  if (record.Unrecognised || !LocationApplyEnabled(record, chosen_location, profile_count))
    return {};
  if (record.Command.find('/') != std::string::npos) return {};
  return IsRegistryEntry(record) ? MoveRunValue(context, record, chosen_location)
                                 : MoveFolderFile(context, record, chosen_location);
}

bool AppendDisabledBoxLine(StartupContext& context, const std::string& line) {
  return CommitBox(context, WithLine(context.box_lines, line));
}

bool RemoveDisabledBoxLine(StartupContext& context, size_t row) {
  if (row >= context.box_lines.size()) return true;
  std::vector<std::string> remaining = WithoutLine(context.box_lines, row);
  if (CommitBox(context, remaining)) return true;
  context.box_lines = std::move(remaining);
  return false;
}

std::optional<std::string> RunValueLine(int location, std::string_view name,
                                        const RegistryValue& value) {
  if (location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return std::nullopt;
  EntryRecord record;
  record.Key = location == 0 ? kUserRunKey : kMachineKey;
  record.Kind = location == 0 ? "" : location == 1 ? "Run" : "RunOnce";
  record.Name = std::string(name);
  record.Command = RunValueText(value);
  if (!StoredAsText(value, record.Command)) return std::nullopt;
  return RegistryEntryLine(record);
}

bool WriteRunValue(RegistryBackend& registry, std::string_view name, std::string_view data,
                   int location) {
  if (location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return false;
  const std::unique_ptr<RegistryKey> key = OpenRunKey(registry, location, true);
  return key && key->WriteValue(name, RunValueOf(data));
}

RegistryValue RunValueOf(std::string_view command) {
  return RegistryValue{HasEnvironmentReference(command) ? kRegExpandSz : kRegSz,
                       StringToRegistryData(command)};
}

bool HasEnvironmentReference(std::string_view text) {
  size_t open = text.find('%');
  while (open != std::string_view::npos) {
    const size_t close = text.find('%', open + 1);
    if (close == std::string_view::npos) return false;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const bool blank = std::any_of(name.begin(), name.end(), [](char c) {
      return std::isspace(static_cast<unsigned char>(c));
    });
    if (!name.empty() && !blank) return true;
    open = close;
  }
  return false;
}

int EntryKind(const EntryRecord& record) { return IsRegistryEntry(record) ? 1 : 0; }

int EntryLocation(const EntryRecord& record) { return RunLocationOf(record).value_or(record.Key); }

bool KindApplyEnabled(const EntryRecord& record, int chosen_kind) {
  return (chosen_kind == 0 || chosen_kind == 1) && chosen_kind != EntryKind(record);
}

bool LocationApplyEnabled(const EntryRecord& record, int chosen_location, int profile_count) {
  const int count =
      IsRegistryEntry(record) ? static_cast<int>(kRunKeyLocations.size()) : profile_count;
  return chosen_location >= 0 && chosen_location < count &&
         chosen_location != EntryLocation(record);
}

std::string DeleteQuestion(std::string_view name, bool in_disabled_box_view) {
  std::string text = "[" + std::string(name) + "]\n";
  if (in_disabled_box_view) text += kFromDisabledBox;
  return text + std::string(kDeleteQuestionText);
}

}  // namespace orvela
