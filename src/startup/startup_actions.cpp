#include "startup/startup_actions.h"

#include <algorithm>
#include <array>
#include <functional>
#include <cctype>

#include "components/item_id_list.h"
#include "components/link_naming.h"
#include "regfile/registry_file.h"
#include "disabled_box/disabled_box.h"
#include "platform/app_title.h"
#include "platform/file_io.h"
#include "startup/run_key_locations.h"
#include "startup/startup_approved.h"
#include "startup/startup_entries.h"
#include "startup/task_definition.h"

namespace orvela {
namespace {

namespace msg = startup_messages;

std::unique_ptr<RegistryKey> OpenRunKey(RegistryBackend& registry, int location, KeyAccess access,
                                        SystemError* status = nullptr) {
  const RunKeyLocation& where = kRunKeyLocations.at(static_cast<size_t>(location));
  return registry.OpenKey(where.root, where.path, access, status);
}

std::string Bracketed(std::string_view name, std::string_view text) {
  return "[" + std::string(name) + "]\n" + std::string(text);
}

// Shows "[" + name + "]\n" + text and keeps it in the result.
ActionResult& Tell(StartupContext& context, ActionResult& result, std::string_view name,
                   std::string_view text, PromptIcon icon) {
  result.message = Bracketed(name, text);
  context.prompt.ShowMessage(result.message, kAppTitle, icon);
  return result;
}

ActionResult Told(StartupContext& context, std::string_view name, std::string_view text,
                  PromptIcon icon = PromptIcon::kWarning) {
  ActionResult result;
  Tell(context, result, name, text, icon);
  return result;
}

// Told when a change would write a box file that could not be read at start.
ActionResult BoxNotLoaded(StartupContext& context, std::string_view name) {
  return Told(context, name, std::string(kBoxNotLoadedText) + "\n" + context.box.path,
              PromptIcon::kWarning);
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
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, KeyAccess::kCreate);
  if (!key) return Placement::kFailed;
  const std::optional<RegistryValue> existing = key->ReadValue(name);
  if (existing && *existing == value) return Placement::kPlaced;
  // Nothing keeps the value that is there: Enter keeps it.
  if (existing &&
      !context.prompt.AskYesNoDefaultNo(Bracketed(name, msg::kReplaceQuestion), kAppTitle,
                                        PromptIcon::kQuestion)) {
    return Placement::kDeclined;
  }
  return key->WriteValue(name, value) ? Placement::kPlaced : Placement::kFailed;
}

// Removes a Run value if it is there; false when it is there and stays.
bool RemoveRunValue(StartupContext& context, std::string_view name, int location) {
  SystemError status = kErrorNone;
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, KeyAccess::kWrite, &status);
  if (!key) return status == kErrorFileNotFound;
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

// Disabling: the original is kept, the line goes into the box (and its file), then the live
// place is removed; a step that fails undoes the ones before, so the entry is never in
// neither place. `original` is nullopt when there is nothing to keep.
ActionResult IntoBoxThenRemove(StartupContext& context, const EntryRecord& record,
                               const std::string& line, const std::optional<KeptOriginal>& original,
                               std::string_view not_removed,
                               const std::function<bool()>& remove_live) {
  if (!context.box.writable()) return BoxNotLoaded(context, record.Name);
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  switch (context.box.Add(line, original)) {
    case DisabledBoxStore::AddResult::kAdded:
      break;
    case DisabledBoxStore::AddResult::kNotKept:
      return Told(context, record.Name, msg::kOriginalNotKept, PromptIcon::kError);
    case DisabledBoxStore::AddResult::kNotWritten:
      return Told(context, record.Name, std::string(msg::kBoxNotWritten) + "\n" + context.box.path,
                  PromptIcon::kError);
  }
  if (!remove_live()) {
    context.box.Remove(context.box.lines.size() - 1);
    return Told(context, record.Name, not_removed, PromptIcon::kError);
  }
  return {.changed = true};
}

ActionResult DisableRegistryEntry(StartupContext& context, const EntryRecord& record) {
  const int location = *RunLocationOf(record);
  if (auto refused = RefuseRunLocation(context, record.Name, location)) return *refused;
  SystemError status = kErrorNone;
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, location, KeyAccess::kWrite, &status);
  if (!key && status != kErrorFileNotFound)
    return Told(context, record.Name, msg::kKeyNotOpened, PromptIcon::kError);

  EntryRecord disabled = record;
  const std::optional<RegistryValue> live = key ? key->ReadValue(record.Name) : std::nullopt;
  if (live) {
    // The line keeps what the key holds now, which the list may show older.
    disabled.Command = RunValueText(*live);
    if (!StoredAsText(*live, disabled.Command))
      return Told(context, record.Name, msg::kValueNotStorable);
  }
  const std::optional<std::string> line = RegistryEntryLine(disabled, context.locations);
  if (!line)
    return Told(context, record.Name,
                TextFitsLine(disabled.Command) ? msg::kNameNotStorable : msg::kCommandNotStorable);

  // The value's own type and bytes: a REG_SZ holding "%windir%" stays a REG_SZ.
  const std::optional<KeptOriginal> original =
      live ? std::optional<KeptOriginal>(KeptValue(*line, *live)) : std::nullopt;
  return IntoBoxThenRemove(context, record, *line, original, msg::kNotDisabledValue,
                           [&] { return !live || key->DeleteValue(record.Name); });
}

ActionResult DisableFolderEntry(StartupContext& context, const EntryRecord& record) {
  if (!HasProfile(context, record.Key)) return {};
  const std::string& profile = context.locations.profiles()[static_cast<size_t>(record.Key)];
  if (!ProfileFitsLine(profile)) return Told(context, record.Name, msg::kProfileNotStorable);
  if (!context.shell.FileExists(record.Command))
    return Told(context, record.Name, msg::kFileNotFound);

  std::string target = context.shell.ResolveLink(record.Command);
  bool item_id_form = false;
  if (target == record.Command) {
    // No existing target: the shell item the shortcut points to, else the path it holds
    // (a network path out of reach); the kept file gives either back as it was.
    const auto list = context.shell.LinkTargetItemIdList(record.Command);
    const std::optional<std::string> hex =
        list ? ItemIdListToHex(list->data(), list->size()) : std::nullopt;
    const std::optional<LinkFields> fields = context.shell.ReadLinkFields(record.Command);
    if (hex) {
      target = *hex;
      item_id_form = true;
    } else if (fields && !fields->path.empty()) {
      target = fields->path;
    } else {
      return Told(context, record.Name, msg::kNotAShortcut);
    }
  }
  const std::optional<std::string> line =
      FolderEntryLine(context.locations, record.Key, record.Name, target, item_id_form);
  if (!line)
    return Told(context, record.Name,
                TextFitsLine(target) ? msg::kNameNotStorable : msg::kCommandNotStorable);

  const std::optional<std::string> bytes = context.shell.ReadFileBytes(record.Command);
  if (!bytes) return Told(context, record.Name, msg::kOriginalNotKept, PromptIcon::kError);
  const KeptOriginal original =
      KeptFile(*line, FileNamePart(record.Command), *bytes, context.shell.FileMetadataOf(record.Command));
  return IntoBoxThenRemove(context, record, *line, original, msg::kNotDisabledFile,
                           [&] { return context.shell.RemoveFile(record.Command); });
}

// Whether the scheduler made the switch: the task is read again, as a scheduler may accept
// the request and not carry it out.
bool SwitchTask(TaskScheduler& tasks, const std::string& path, bool on) {
  if (tasks.SetEnabled(path, on) != kErrorNone) return false;
  const std::optional<ScheduledTask> now = tasks.ReadTask(path);
  return now && now->enabled == on;
}

std::string WithReason(std::string_view text, SystemError code) {
  return std::string(text) + "\n理由：" + SystemErrorText(code);
}

// A task is switched off, not removed: it keeps what the scheduler alone can give back (a
// stored password, its history), and its whole definition is kept beside its line for the
// day it is gone.
ActionResult DisableTaskEntry(StartupContext& context, const EntryRecord& record) {
  if (!context.tasks) return Told(context, record.Name, msg::kSchedulerUnavailable, PromptIcon::kError);
  TaskScheduler& tasks = *context.tasks;
  const std::string path = TaskPathOf(record);
  SystemError status = kErrorNone;
  const std::optional<ScheduledTask> task = tasks.ReadTask(path, &status);
  if (!task)
    return Told(context, record.Name,
                status == kErrorFileNotFound ? std::string(msg::kTaskGone) : WithReason(msg::kTaskNotRead, status),
                PromptIcon::kError);
  const std::optional<TaskDefinition> definition = ReadTaskDefinition(task->xml);
  if (!definition) return Told(context, record.Name, msg::kTaskNotRead, PromptIcon::kError);
  // The line keeps what the task holds now, which the list may show older.
  EntryRecord disabled = record;
  disabled.Command = TaskCommandLine(*definition);
  const std::optional<std::string> line = TaskEntryLine(disabled, context.locations);
  if (!line)
    return Told(context, record.Name,
                TextFitsLine(disabled.Command) ? msg::kNameNotStorable : msg::kCommandNotStorable);
  const KeptOriginal original = KeptFile(*line, "task.xml", task->xml, std::nullopt);
  return IntoBoxThenRemove(context, record, *line, original, msg::kTaskNotSwitchedOff,
                           [&] { return SwitchTask(tasks, path, false); });
}

// The value a Run line gives back: the kept one, else the string the line's command makes.
// A live value is already this entry when it is that value, or, for a line without a kept
// value, a string of the line's command.
bool RunEntryInPlace(const std::optional<RegistryValue>& live, const RegistryValue& wanted,
                     bool kept, const EntryRecord& record) {
  if (!live) return false;
  if (*live == wanted) return true;
  return !kept && StoredAsText(*live, record.Command);
}

Placement EnableRunValue(StartupContext& context, const EntryRecord& record, int location,
                         const std::optional<KeptOriginal>& kept, ActionResult& result) {
  const bool has_kept = kept.has_value();
  const RegistryValue wanted = has_kept ? kept->value : RunValueOf(record.Command);
  std::optional<RegistryValue> live;
  if (const auto key = OpenRunKey(context.registry, location, KeyAccess::kRead))
    live = key->ReadValue(record.Name);
  // Written back meanwhile (by the program itself, or before a crash): the line just goes.
  if (RunEntryInPlace(live, wanted, has_kept, record)) return Placement::kPlaced;
  const Placement placement = PlaceRunValue(context, record.Name, wanted, location);
  if (placement == Placement::kFailed)
    Tell(context, result, record.Name, msg::kWriteFailedKept, PromptIcon::kError);
  return placement;
}

// Whether the shortcut in place is the one the line stands for: the kept bytes, or the
// line's target.
bool ShortcutInPlace(StartupContext& context, const std::string& path, const EntryRecord& record,
                     const std::optional<KeptOriginal>& kept) {
  if (kept && context.shell.ReadFileBytes(path) == kept->bytes) return true;
  if (record.ItemIdForm) {
    const auto list = context.shell.LinkTargetItemIdList(path);
    return list && ItemIdListToHex(list->data(), list->size()) == record.Command;
  }
  if (context.shell.ResolveLink(path) == record.Command) return true;
  const std::optional<LinkFields> fields = context.shell.ReadLinkFields(path);
  return fields && fields->path == record.Command;
}

// Makes the shortcut again from the line (lines of older files, or a kept item gone).
// Returns its path, "" (told) when it could not be made.
std::string RecreateShortcut(StartupContext& context, const EntryRecord& record,
                             const std::string& folder, ActionResult& result) {
  ShortcutTarget target;
  if (record.ItemIdForm) {
    const auto list = HexToItemIdList(record.Command);
    if (!list) {
      Tell(context, result, record.Name, msg::kItemIdUnreadable, PromptIcon::kError);
      return "";
    }
    target.item_id_list = *list;
  } else {
    target.path = record.Command;
  }
  const std::string made = context.shell.CreateShortcut(target, folder, record.Name);
  if (made.empty()) Tell(context, result, record.Name, msg::kShortcutFailedKept, PromptIcon::kError);
  return made;
}

Placement EnableShortcut(StartupContext& context, const EntryRecord& record,
                         const std::optional<KeptOriginal>& kept, ActionResult& result) {
  const std::string folder = context.locations.FolderOf(FolderKind::kStartup, record.Key);
  if (folder.empty()) {
    Tell(context, result, record.Name, msg::kShortcutFailedKept, PromptIcon::kError);
    return Placement::kFailed;
  }
  const std::optional<std::string> path =
      PathInFolder(folder, kept ? kept->file_name : FileMogChk(record.Name) + ".lnk");
  if (!path) {
    Tell(context, result, record.Name, kNameLeavesFolderText, PromptIcon::kError);
    return Placement::kFailed;
  }
  const bool taken = context.shell.FileExists(*path);
  if (taken) {
    // Already back (written before a crash, or by the program itself): no second copy.
    if (ShortcutInPlace(context, *path, record, kept)) return Placement::kPlaced;
    if (!context.prompt.AskYesNoDefaultNo(Bracketed(record.Name, msg::kShortcutReplaceQuestion), kAppTitle,
                                          PromptIcon::kQuestion))
      return Placement::kDeclined;
  }
  if (kept) {
    switch (WriteKeptFile(context.shell, *path, *kept, taken)) {
      case KeptFileWrite::kWritten:
        return Placement::kPlaced;
      case KeptFileWrite::kWrittenWithoutMetadata:
        Tell(context, result, record.Name, kMetadataNotRestoredText, PromptIcon::kWarning);
        return Placement::kPlaced;
      case KeptFileWrite::kFailed:
        break;
    }
    Tell(context, result, record.Name, msg::kNotRestored, PromptIcon::kError);
    return Placement::kFailed;
  }
  const std::string made = RecreateShortcut(context, record, folder, result);
  if (made.empty()) return Placement::kFailed;
  if (!taken) return Placement::kPlaced;
  // Replacing: the new shortcut takes the old one's place in one step.
  const std::optional<std::string> bytes = context.shell.ReadFileBytes(made);
  const bool replaced = bytes && context.shell.WriteFileBytes(*path, *bytes, true);
  context.shell.RemoveFile(made);
  if (replaced) return Placement::kPlaced;
  Tell(context, result, record.Name, msg::kNotRestored, PromptIcon::kError);
  return Placement::kFailed;
}

// Switched on again; when the task is gone, registered again from its kept definition and
// kept only when the scheduler gives back the log-on task it was (one may drop what it does
// not understand): else it is taken back out and the line stays.
Placement EnableTask(StartupContext& context, const EntryRecord& record, const std::optional<KeptOriginal>& kept,
                     ActionResult& result) {
  const auto failed = [&](std::string_view text) {
    Tell(context, result, record.Name, text, PromptIcon::kError);
    return Placement::kFailed;
  };
  if (!context.tasks) return failed(msg::kSchedulerUnavailable);
  TaskScheduler& tasks = *context.tasks;
  const std::string path = TaskPathOf(record);
  SystemError status = kErrorNone;
  if (const std::optional<ScheduledTask> task = tasks.ReadTask(path, &status))
    return task->enabled || SwitchTask(tasks, path, true) ? Placement::kPlaced : failed(msg::kTaskNotSwitchedOn);
  if (status != kErrorFileNotFound) return failed(WithReason(msg::kTaskNotRead, status));
  if (!kept) return failed(msg::kTaskNoDefinition);
  if (const SystemError refused = tasks.Register(path, kept->bytes); refused != kErrorNone)
    return failed(WithReason(msg::kTaskNotRegistered, refused));
  const std::optional<ScheduledTask> back = tasks.ReadTask(path);
  const std::optional<TaskDefinition> given = back ? ReadTaskDefinition(back->xml) : std::nullopt;
  const std::optional<TaskDefinition> wanted = ReadTaskDefinition(kept->bytes);
  if (given && wanted && given->logon == wanted->logon && TaskCommandLine(*given) == TaskCommandLine(*wanted) &&
      (back->enabled || SwitchTask(tasks, path, true)))
    return Placement::kPlaced;
  tasks.Delete(path);
  return failed(msg::kTaskRegisteredOtherwise);
}

// A kept original stands for its line only when it gives back what the row shows: a Run
// value of the line's command, a task definition of the line's command line, or a shortcut
// of the line's name leading to its target.
bool KeptAgrees(StartupContext& context, const EntryRecord& record, const KeptOriginal& kept) {
  if (IsTaskEntry(record)) {
    const std::optional<TaskDefinition> definition =
        kept.kind == KeptKind::kFile ? ReadTaskDefinition(kept.bytes) : std::nullopt;
    return definition && TaskCommandLine(*definition) == record.Command;
  }
  if (RunLocationOf(record)) return kept.kind == KeptKind::kValue && StoredAsText(kept.value, record.Command);
  const std::string name = kept.file_name;
  return kept.kind == KeptKind::kFile && RemoveExtension(name) == record.Name &&
         EqualsIgnoringCase(name.substr(RemoveExtension(name).size()), ".lnk") &&
         KeptShortcutLeadsTo(context.shell, kept, record.Command, record.ItemIdForm);
}

// The kept original of line `row` when it may be used; when there is one that may not, the
// user is told and the line is used.
std::optional<KeptOriginal> UsableKept(StartupContext& context, size_t row, const EntryRecord& record,
                                       ActionResult& result) {
  DisabledBoxStore::KeptLookup found = context.box.KeptOf(row);
  if (found.status == DisabledBoxStore::KeptLookup::Status::kFound && KeptAgrees(context, record, found.original))
    return std::move(found.original);
  if (found.status != DisabledBoxStore::KeptLookup::Status::kNone)
    Tell(context, result, record.Name, kKeptNotUsedText, PromptIcon::kWarning);
  return std::nullopt;
}

ActionResult FolderToRegistry(StartupContext& context, const EntryRecord& record) {
  if (!HasProfile(context, record.Key)) return {};
  const std::string target = context.shell.ResolveLink(record.Command);
  if (target == record.Command) return Told(context, record.Name, msg::kNoLinkTarget);
  const std::optional<LinkFields> fields = context.shell.ReadLinkFields(record.Command);
  const std::string command = RunCommandOf(target, fields ? fields->arguments : "");
  // The all-users folder's entries run for everyone: they go to the machine's key.
  const int location = record.Key == context.locations.all_users_index() ? 1 : 0;
  if (auto refused = RefuseRunLocation(context, record.Name, location)) return *refused;
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  const Placement placement = PlaceRunValue(context, record.Name, RunValueOf(command), location);
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
  if (auto refused = RefuseRunLocation(context, record.Name, location)) return *refused;
  // The value as it is now: when it is gone or no longer what the row shows, nothing is
  // changed and the list is shown afresh.
  std::optional<RegistryValue> live;
  if (const auto key = OpenRunKey(context.registry, location, KeyAccess::kRead))
    live = key->ReadValue(record.Name);
  if (!live || RunValueText(*live) != record.Command) {
    ActionResult result{.changed = true};
    Tell(context, result, record.Name, msg::kEntryChangedMeanwhile, PromptIcon::kWarning);
    return result;
  }
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
  for (const int changed : {from, to})
    if (auto refused = RefuseRunLocation(context, record.Name, changed)) return *refused;
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  // The value as stored moves, type and bytes; the list's text only when it is gone.
  std::optional<RegistryValue> value;
  if (const auto key = OpenRunKey(context.registry, from, KeyAccess::kRead))
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
  if (IsTaskEntry(record)) return DisableTaskEntry(context, record);
  if (!IsRegistryEntry(record)) return DisableFolderEntry(context, record);
  if (!RunLocationOf(record)) return Told(context, record.Name, msg::kWinlogonUnchanged, PromptIcon::kInformation);
  return DisableRegistryEntry(context, record);
}

ActionResult EnableStartupEntry(StartupContext& context, size_t row) {
  if (row >= context.box.lines.size()) return {};
  const std::string line = context.box.lines[row];
  const EntryRecord record = DisabledBoxRecord(line, context.locations);
  if (record.Unrecognised) return Told(context, record.Name, msg::kUnrecognisedLine);
  // A zero byte or a control character would go into the value or the name as it stands.
  if (HasControlCharacter(line)) return Told(context, record.Name, msg::kControlCharacterLine);
  // The line must be able to leave the box before the entry goes back.
  if (!context.box.writable()) return BoxNotLoaded(context, record.Name);

  const std::optional<int> location = RunLocationOf(record);
  if (location)
    if (auto refused = RefuseRunLocation(context, record.Name, *location)) return *refused;
  ActionResult result;
  const std::optional<KeptOriginal> kept = UsableKept(context, row, record, result);
  const Placement placement = location              ? EnableRunValue(context, record, *location, kept, result)
                              : IsTaskEntry(record) ? EnableTask(context, record, kept, result)
                                                    : EnableShortcut(context, record, kept, result);
  if (placement != Placement::kPlaced) return result;
  result.changed = true;
  // Live again: the line goes with its kept original. If the file cannot follow, the entry
  // is in both places and the line stays, as it does in the file.
  if (!context.box.Remove(row))
    Tell(context, result, record.Name,
         std::string(msg::kEnabledBoxNotWritten) + "\n" + context.box.path, PromptIcon::kError);
  return result;
}

ActionResult DeleteStartupEntry(StartupContext& context, const EntryRecord& record, bool ask) {
  if (record.Unrecognised) return {};
  if (IsWinlogonEntry(record)) return Told(context, record.Name, msg::kWinlogonUnchanged, PromptIcon::kInformation);
  if (IsTaskEntry(record) && !context.tasks)
    return Told(context, record.Name, msg::kSchedulerUnavailable, PromptIcon::kError);
  if (const std::optional<int> location = RunLocationOf(record))
    if (auto refused = RefuseRunLocation(context, record.Name, *location)) return *refused;
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  if (ask && !context.prompt.AskYesNo(DeleteQuestion(record.Name, false), kDeleteCaption,
                                      PromptIcon::kQuestion)) {
    return {};
  }
  ActionResult result{.changed = true};
  if (IsTaskEntry(record)) {
    const SystemError status = context.tasks->Delete(TaskPathOf(record));
    if (status != kErrorNone && status != kErrorFileNotFound)
      Tell(context, result, record.Name, WithReason(msg::kTaskNotDeleted, status), PromptIcon::kError);
  } else if (const std::optional<int> location = RunLocationOf(record)) {
    if (!RemoveRunValue(context, record.Name, *location))
      Tell(context, result, record.Name, msg::kValueNotDeleted, PromptIcon::kError);
  } else if (context.shell.FileExists(record.Command) &&
             !context.shell.RemoveFile(record.Command)) {
    Tell(context, result, record.Name, msg::kFileNotDeleted, PromptIcon::kError);
  }
  return result;
}

ActionResult DeleteDisabledBoxEntry(StartupContext& context, size_t row, bool ask) {
  if (row >= context.box.lines.size()) return {};
  const std::string line = context.box.lines[row];
  const EntryRecord record = DisabledBoxRecord(line, context.locations);
  if (!context.box.writable()) return BoxNotLoaded(context, record.Name);
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  if (ask && !context.prompt.AskYesNo(DeleteQuestion(record.Name, true), kDeleteCaption,
                                      PromptIcon::kQuestion)) {
    return {};
  }
  if (!context.box.Remove(row))
    return Told(context, record.Name, std::string(msg::kBoxNotWritten) + "\n" + context.box.path,
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

ActionResult ClearWindowsDisabled(StartupContext& context, const EntryRecord& record) {
  if (IsTaskEntry(record)) {
    // A task's own switch is the scheduler's.
    if (!context.tasks) return Told(context, record.Name, msg::kSchedulerUnavailable, PromptIcon::kError);
    if (!SwitchTask(*context.tasks, TaskPathOf(record), true))
      return Told(context, record.Name, msg::kTaskNotSwitchedOnHere, PromptIcon::kError);
    return {.changed = true};
  }
  const std::optional<ApprovedPlace> place = ApprovedPlaceOf(record, context.locations);
  if (!place) return {};
  // Windows' switch of a machine entry lives in the machine's keys.
  const bool machine = place->root == RootKey::kLocalMachine;
  SystemError status = machine && !context.administrator ? kErrorAccessDenied : kErrorNone;
  std::unique_ptr<RegistryKey> key;
  if (status == kErrorNone) key = context.registry.OpenKey(place->root, place->path, KeyAccess::kWrite, &status);
  if (!key && status != kErrorFileNotFound)
    return Told(context, record.Name,
                KeyRefusalText(TRegistryFile::RootKeyToName(place->root) + "\\" + NormalizeKeyPath(place->path),
                               status, context.administrator));
  const std::optional<RegistryValue> value = key ? key->ReadValue(place->value_name) : std::nullopt;
  // Turned on meanwhile (by Windows, or the value is gone): there is nothing to write.
  if (!value || !ReadApprovedState(*value).disabled) return {.changed = true};
  if (!key->WriteValue(place->value_name, ApprovedEnabledValue()))
    return Told(context, record.Name, msg::kSwitchNotWritten, PromptIcon::kError);
  return {.changed = true};
}

ActionResult DisableAgain(StartupContext& context, const EntryRecord& record) {
  const std::optional<int> location = RunLocationOf(record);
  if (!location || record.Unrecognised) return {};
  const std::optional<std::string> line = RegistryEntryLine(record, context.locations);
  if (!line) return {};
  const auto& lines = context.box.lines;
  const auto row = static_cast<size_t>(std::find(lines.begin(), lines.end(), *line) - lines.begin());
  if (row == lines.size()) {
    ActionResult result{.changed = true};
    Tell(context, result, record.Name, msg::kLineGone, PromptIcon::kWarning);
    return result;
  }
  if (!context.box.writable()) return BoxNotLoaded(context, record.Name);
  if (auto refused = RefuseRunLocation(context, record.Name, *location)) return *refused;
  const std::unique_ptr<RegistryKey> key = OpenRunKey(context.registry, *location, KeyAccess::kWrite);
  const std::optional<RegistryValue> live = key ? key->ReadValue(record.Name) : std::nullopt;
  if (!live || !StoredAsText(*live, record.Command)) {
    ActionResult result{.changed = true};
    Tell(context, result, record.Name, msg::kEntryChangedMeanwhile, PromptIcon::kWarning);
    return result;
  }
  if (!SaveRunKeys(context.backup, context.registry, context.prompt, &record)) return {};
  // A line of an older file has no original beside it: the value now live becomes it. Should
  // the value stay, that original still agrees with the line.
  if (!context.box.KeepFor(row, KeptValue(*line, *live)))
    return Told(context, record.Name, msg::kOriginalNotKept, PromptIcon::kError);
  if (!key->DeleteValue(record.Name))
    return Told(context, record.Name, msg::kNotDisabledValue, PromptIcon::kError);
  return {.changed = true};
}

bool AppendDisabledBoxLine(StartupContext& context, const std::string& line, const RegistryValue& value) {
  return context.box.Add(line, KeptValue(line, value)) == DisabledBoxStore::AddResult::kAdded;
}

bool RemoveDisabledBoxLine(StartupContext& context, size_t row) {
  DisabledBoxStore& box = context.box;
  if (row >= box.lines.size() || box.Remove(row)) return true;
  // The entry is live again, so the list shows it once; where the file was read whole, the
  // line's kept original goes with the line instead of staying for a line gone at close.
  if (const KeptPairing pairing = box.kept().PairingOf(box.lines, row);
      box.writable() && pairing.status == KeptPairing::Status::kOwned)
    box.kept().Drop(pairing.id);
  box.lines.erase(box.lines.begin() + static_cast<std::ptrdiff_t>(row));
  return false;
}

std::optional<std::string> RunValueLine(int location, std::string_view name,
                                        const RegistryValue& value, const ProfileLocations& locations) {
  if (location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return std::nullopt;
  EntryRecord record;
  SetRunLocation(record, location);
  record.Name = std::string(name);
  record.Command = RunValueText(value);
  if (!StoredAsText(value, record.Command)) return std::nullopt;
  return RegistryEntryLine(record, locations);
}

std::optional<SystemError> RunLocationRefusal(RegistryBackend& registry, int location, bool administrator) {
  const RunKeyLocation& where = kRunKeyLocations.at(static_cast<size_t>(location));
  if (where.root == RootKey::kLocalMachine && !administrator) return kErrorAccessDenied;
  SystemError status = kErrorNone;
  if (registry.OpenKey(where.root, where.path, KeyAccess::kWrite, &status) || status == kErrorFileNotFound)
    return std::nullopt;
  return status;
}

void MarkReadOnlyEntries(std::vector<EntryRecord>& rows, RegistryBackend& registry, bool administrator) {
  std::array<std::optional<bool>, kRunKeyLocations.size()> read_only;  // asked once per location
  for (EntryRecord& row : rows) {
    const std::optional<int> location = row.Unrecognised ? std::nullopt : RunLocationOf(row);
    if (!location) continue;
    std::optional<bool>& known = read_only[static_cast<size_t>(*location)];
    if (!known) known = RunLocationRefusal(registry, *location, administrator).has_value();
    row.ReadOnly = *known;
  }
}

std::optional<ActionResult> RefuseRunLocation(StartupContext& context, std::string_view name, int location) {
  const std::optional<SystemError> refusal = RunLocationRefusal(context.registry, location, context.administrator);
  if (!refusal) return std::nullopt;
  return Told(context, name, KeyRefusalText(RunKeyNames()[static_cast<size_t>(location)], *refusal, context.administrator));
}

std::string KeyRefusalText(std::string_view key_name, SystemError code, bool administrator) {
  std::string text =
      std::string(msg::kKeyReadOnly) + "\n" + std::string(key_name) + "\n理由：" + SystemErrorText(code);
  if (!administrator) text += "\n" + std::string(msg::kAdministratorNeeded);
  return text;
}

bool WriteRunValue(RegistryBackend& registry, std::string_view name, const RegistryValue& value,
                   int location) {
  if (location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return false;
  const std::unique_ptr<RegistryKey> key = OpenRunKey(registry, location, KeyAccess::kCreate);
  return key && key->WriteValue(name, value);
}

std::string RunCommandOf(std::string_view target, std::string_view arguments) {
  std::string command = target.find(' ') != std::string_view::npos
                            ? "\"" + std::string(target) + "\""
                            : std::string(target);
  if (!arguments.empty()) command += " " + std::string(arguments);
  return command;
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

int EntryKind(const EntryRecord& record) {
  if (IsTaskEntry(record)) return 2;
  return IsRegistryEntry(record) ? 1 : 0;
}

namespace {

// A task or a Winlogon value: shown where it is, never moved.
bool StaysWhereItIs(const EntryRecord& record) { return IsTaskEntry(record) || IsWinlogonEntry(record); }

}  // namespace

int EntryLocation(const EntryRecord& record) {
  return StaysWhereItIs(record) ? -1 : RunLocationOf(record).value_or(record.Key);
}

bool KindApplyEnabled(const EntryRecord& record, int chosen_kind) {
  return !StaysWhereItIs(record) && (chosen_kind == 0 || chosen_kind == 1) && chosen_kind != EntryKind(record);
}

bool LocationApplyEnabled(const EntryRecord& record, int chosen_location, int profile_count) {
  if (StaysWhereItIs(record)) return false;
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
