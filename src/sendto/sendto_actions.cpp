#include "sendto/sendto_actions.h"

#include <optional>

#include "disabled_box/disabled_box.h"
#include "rows/row_text.h"
#include "components/item_id_list.h"
#include "components/link_naming.h"
#include "platform/app_title.h"
#include "platform/file_io.h"
#include "platform/plain_text.h"

namespace orvela {
namespace {

namespace msg = sendto_messages;

constexpr std::string_view kDeleteCaption = "削除確認";
constexpr std::string_view kFromDisabledBox = "無効ボックスから、";

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The part of a Disabled Box row name after "@#@" (the item's own name).
std::string_view ShownName(std::string_view name) {
  const size_t marker = name.find(kSendToMarker);
  return marker == std::string_view::npos ? name : name.substr(marker + kSendToMarker.size());
}

void Tell(SendToContext& context, std::string_view name, std::string_view text,
          PromptIcon icon = PromptIcon::kWarning) {
  context.prompt.ShowMessage("[" + std::string(name) + "]\n" + std::string(text), kAppTitle, icon);
}

bool BoxNotLoaded(SendToContext& context, std::string_view name) {
  Tell(context, name, std::string(kBoxNotLoadedText) + "\n" + context.box.path);
  return false;
}

enum class Placement { kPlaced, kDeclined, kFailed };

// A taken name is replaced only when the user says so; Enter keeps what is there.
bool MayReplace(SendToContext& context, std::string_view name) {
  return context.prompt.AskYesNoDefaultNo("[" + std::string(name) + "]\n" + std::string(msg::kReplaceQuestion),
                                          kAppTitle, PromptIcon::kQuestion);
}

// The place of an item in the folder; nullopt (told) for a name that would lead out of it.
std::optional<std::string> ItemPath(SendToContext& context, const std::string& folder, const SendToLine& line,
                                    std::string_view file_name) {
  std::optional<std::string> path = PathInFolder(folder, file_name);
  if (!path) Tell(context, line.name, kNameLeavesFolderText, PromptIcon::kError);
  return path;
}

// A kept item stands for its line only when it is the item the row shows: of the line's
// name and extension, and, for a shortcut, leading to the line's target (a shortcut that
// led nowhere is shown by its own path: that is then its place in the folder).
bool KeptAgrees(SendToContext& context, const std::string& folder, const SendToLine& line,
                const KeptOriginal& kept) {
  if (kept.kind != KeptKind::kFile || RemoveExtension(kept.file_name) != line.name) return false;
  if (!line.shortcut) return EqualsIgnoringCase(FileNamePart(line.target), kept.file_name);
  if (LowerAscii(std::string(ExtensionOf(kept.file_name))) != ".lnk") return false;
  if (!line.item_id_form && EqualsIgnoringCase(line.target, JoinPath(folder, kept.file_name))) return true;
  return KeptShortcutLeadsTo(context.shell, kept, line.target, line.item_id_form);
}

// The kept item of line `row` when it may be used; when there is one that may not, the
// user is told and the line is used.
std::optional<KeptOriginal> UsableKept(SendToContext& context, size_t row, const std::string& folder,
                                       const SendToLine& line) {
  DisabledBoxStore::KeptLookup found = context.box.KeptOf(row);
  if (found.status == DisabledBoxStore::KeptLookup::Status::kFound &&
      KeptAgrees(context, folder, line, found.original))
    return std::move(found.original);
  if (found.status != DisabledBoxStore::KeptLookup::Status::kNone) Tell(context, line.name, kKeptNotUsedText);
  return std::nullopt;
}

// The kept bytes go back under the item's own file name, with its attributes and time.
Placement PlaceKeptFile(SendToContext& context, const std::string& folder, const SendToLine& line,
                        const KeptOriginal& kept) {
  const std::optional<std::string> path = ItemPath(context, folder, line, kept.file_name);
  if (!path) return Placement::kFailed;
  const bool taken = context.shell.FileExists(*path);
  // Already back (written before a crash): no second copy.
  if (taken && context.shell.ReadFileBytes(*path) == kept.bytes) return Placement::kPlaced;
  if (taken && !MayReplace(context, line.name)) return Placement::kDeclined;
  switch (WriteKeptFile(context.shell, *path, kept, taken)) {
    case KeptFileWrite::kWritten:
      return Placement::kPlaced;
    case KeptFileWrite::kWrittenWithoutMetadata:
      Tell(context, line.name, kMetadataNotRestoredText);
      return Placement::kPlaced;
    case KeptFileWrite::kFailed:
      break;
  }
  Tell(context, line.name, msg::kNotRestored, PromptIcon::kError);
  return Placement::kFailed;
}

// A line without a kept copy (an older file): a new shortcut to the line's target.
Placement RecreateShortcut(SendToContext& context, const std::string& folder, const SendToLine& line) {
  ShortcutTarget target;
  if (line.item_id_form) {
    const auto list = HexToItemIdList(line.target);
    if (!list) {
      Tell(context, line.name, msg::kItemIdUnreadable, PromptIcon::kError);
      return Placement::kFailed;
    }
    target.item_id_list = *list;
  } else {
    target.path = line.target;
  }
  const std::optional<std::string> path = ItemPath(context, folder, line, FileMogChk(line.name) + ".lnk");
  if (!path) return Placement::kFailed;
  const bool taken = context.shell.FileExists(*path);
  if (taken) {
    bool same = false;
    if (line.item_id_form) {
      const auto list = context.shell.LinkTargetItemIdList(*path);
      same = list && ItemIdListToHex(list->data(), list->size()) == line.target;
    } else {
      same = context.shell.ResolveLink(*path) == line.target;
    }
    if (same) return Placement::kPlaced;
    if (!MayReplace(context, line.name)) return Placement::kDeclined;
  }
  const std::string made = context.shell.CreateShortcut(target, folder, line.name);
  if (made.empty()) {
    Tell(context, line.name, msg::kShortcutFailedKept, PromptIcon::kError);
    return Placement::kFailed;
  }
  if (!taken) return Placement::kPlaced;
  // Made under a numbered name: it takes the old one's place in one step.
  const std::optional<std::string> bytes = context.shell.ReadFileBytes(made);
  const bool replaced = bytes && context.shell.WriteFileBytes(*path, *bytes, true);
  context.shell.RemoveFile(made);
  if (replaced) return Placement::kPlaced;
  Tell(context, line.name, msg::kNotRestored, PromptIcon::kError);
  return Placement::kFailed;
}

// A plain item without a kept copy: an empty file of the item's name and extension, which
// is what a SendTo handler of that file type needs.
Placement RecreatePlainItem(SendToContext& context, const std::string& folder, const SendToLine& line) {
  const std::optional<std::string> path = ItemPath(context, folder, line, line.name + std::string(ExtensionOf(line.target)));
  if (!path) return Placement::kFailed;
  const bool taken = context.shell.FileExists(*path);
  if (taken && context.shell.ReadFileBytes(*path) == std::string()) return Placement::kPlaced;
  if (taken && !MayReplace(context, line.name)) return Placement::kDeclined;
  if (context.shell.WriteFileBytes(*path, "", taken)) return Placement::kPlaced;
  Tell(context, line.name, msg::kNotRestored, PromptIcon::kError);
  return Placement::kFailed;
}

}  // namespace

std::string SendToFolderOf(const ProfileLocations& locations, std::string_view user) {
  if (user.empty() || locations.root().empty()) return {};
  return locations.root() + std::string(user) + locations.SubPath(FolderKind::kSendTo);
}

std::vector<EntryRecord> SendToItemRecords(const std::string& folder, const std::vector<std::string>& file_names) {
  std::vector<EntryRecord> rows;
  rows.reserve(file_names.size());
  for (const std::string& file : file_names) {
    EntryRecord& row = rows.emplace_back();
    row.Name = RemoveExtension(file);
    row.Command = JoinPath(folder, file);
  }
  return rows;
}

EntryRecord SendToBoxRecord(std::string_view line, const ProfileLocations& locations) {
  EntryRecord record;
  const std::optional<SendToLine> parsed = ParseSendToLine(line);
  if (!parsed) {
    record.Unrecognised = true;
    record.Name = std::string(line.substr(0, line.find('=')));
    record.Command = std::string(line);
    return record;
  }
  record.Name = parsed->profile + std::string(kSendToMarker) + parsed->name;
  record.ShortcutForm = parsed->shortcut;
  record.ItemIdForm = parsed->item_id_form;
  record.Command = parsed->target;
  record.Location = parsed->item_id_form ? SendToFolderOf(locations, parsed->profile) : parsed->target;
  return record;
}

std::vector<EntryRecord> SendToBoxRecords(const std::vector<std::string>& lines,
                                          const ProfileLocations& locations) {
  std::vector<EntryRecord> records;
  records.reserve(lines.size());
  for (const std::string& line : lines) records.push_back(SendToBoxRecord(line, locations));
  return records;
}

std::string SendToCaption(std::string_view name) { return "[" + SendToShownName(name) + "] "; }

std::string SendToDeleteQuestion(std::string_view name, bool in_disabled_box_view) {
  std::string text = "[" + std::string(ShownName(name)) + "]\n";
  if (in_disabled_box_view) text += kFromDisabledBox;
  return text + std::string(kSendToDeleteQuestion);
}

Colour SendToRowColour(const EntryRecord& record) {
  if (record.ItemIdForm) return kSendToItemIdColour;
  if (record.ShortcutForm) return kSendToShortcutColour;
  return kSendToListColour;
}

bool DisableSendToItem(SendToContext& context, std::string_view user, const EntryRecord& item) {
  if (item.Unrecognised || item.Command.empty()) return false;
  if (!context.shell.FileExists(item.Command)) {
    Tell(context, item.Name, msg::kFileNotFound);
    return true;
  }
  SendToLine parts{std::string(user), item.Name, LowerAscii(std::string(ExtensionOf(item.Command))) == ".lnk", false,
                   item.Command};
  if (parts.shortcut) {
    parts.target = context.shell.ResolveLink(item.Command);
    if (parts.target == item.Command) {
      // No existing target: the shell item it points to, else the item's own path.
      const auto list = context.shell.LinkTargetItemIdList(item.Command);
      if (const auto hex = list ? ItemIdListToHex(list->data(), list->size()) : std::nullopt) {
        parts.target = *hex;
        parts.item_id_form = true;
      }
    }
  }
  const std::optional<std::string> line = FormatSendToLine(parts);
  if (!line) {
    Tell(context, item.Name,
         !SendToNameFitsLine(item.Name) ? msg::kNameNotStorable
         : !TextFitsLine(parts.target)  ? msg::kTargetNotStorable
                                        : msg::kUserNotStorable);
    return false;
  }
  if (!context.box.writable()) return BoxNotLoaded(context, item.Name);

  const std::optional<std::string> bytes = context.shell.ReadFileBytes(item.Command);
  if (!bytes) {
    Tell(context, item.Name, msg::kFileNotRead, PromptIcon::kError);
    return false;
  }
  const KeptOriginal original =
      KeptFile(*line, FileNamePart(item.Command), *bytes, context.shell.FileMetadataOf(item.Command));
  // The line is on disk before the item goes: a crash leaves both, never neither.
  switch (context.box.Add(*line, original)) {
    case DisabledBoxStore::AddResult::kAdded:
      break;
    case DisabledBoxStore::AddResult::kNotKept:
      Tell(context, item.Name, msg::kOriginalNotKept, PromptIcon::kError);
      return false;
    case DisabledBoxStore::AddResult::kNotWritten:
      Tell(context, item.Name, std::string(msg::kBoxNotWritten) + "\n" + context.box.path, PromptIcon::kError);
      return false;
  }
  if (!context.shell.RemoveFile(item.Command)) {
    context.box.Remove(context.box.lines.size() - 1);
    Tell(context, item.Name, msg::kNotDisabledFile, PromptIcon::kError);
    return false;
  }
  return true;
}

bool EnableSendToLine(SendToContext& context, size_t row) {
  if (row >= context.box.lines.size()) return false;
  const std::string line = context.box.lines[row];
  const std::optional<SendToLine> parsed = ParseSendToLine(line);
  if (!parsed) {
    Tell(context, line.substr(0, line.find('=')), msg::kUnrecognisedLine);
    return false;
  }
  // A zero byte or a break would go into the file name as it stands.
  if (HasControlCharacter(line)) {
    Tell(context, parsed->name, msg::kControlCharacterLine);
    return false;
  }
  // The name becomes a file name in the user's SendTo folder and nowhere else.
  if (!IsPlainFileName(parsed->name)) {
    Tell(context, parsed->name, kNameLeavesFolderText, PromptIcon::kError);
    return false;
  }
  // The line must be able to leave the box before the item goes back.
  if (!context.box.writable()) return BoxNotLoaded(context, parsed->name);
  // A profile that is gone gets no folder made up for it.
  const std::string folder =
      context.locations.ProfileIndexOf(parsed->profile) ? SendToFolderOf(context.locations, parsed->profile) : "";
  if (folder.empty()) {
    Tell(context, parsed->name, msg::kNoFolder, PromptIcon::kError);
    return false;
  }

  const std::optional<KeptOriginal> kept = UsableKept(context, row, folder, *parsed);
  const Placement placement = kept ? PlaceKeptFile(context, folder, *parsed, *kept)
                              : parsed->shortcut || parsed->item_id_form
                                  ? RecreateShortcut(context, folder, *parsed)
                                  : RecreatePlainItem(context, folder, *parsed);
  if (placement != Placement::kPlaced) return false;

  // In place again: the line goes with its kept copy. If the file cannot follow, the item
  // is in both places and the line stays, as it does in the file.
  if (!context.box.Remove(row))
    Tell(context, parsed->name, std::string(msg::kEnabledBoxNotWritten) + "\n" + context.box.path,
         PromptIcon::kError);
  return true;
}

bool DeleteSendToItem(SendToContext& context, const EntryRecord& item, bool ask) {
  if (ask && !context.prompt.AskYesNo(SendToDeleteQuestion(item.Name, false), kDeleteCaption,
                                      PromptIcon::kQuestion))
    return false;
  // An item that is gone already: nothing to delete, the list is shown afresh.
  if (context.shell.FileExists(item.Command) && !context.shell.RemoveFile(item.Command))
    Tell(context, item.Name, msg::kFileNotDeleted, PromptIcon::kError);
  return true;
}

bool DeleteSendToLine(SendToContext& context, size_t row, bool ask) {
  if (row >= context.box.lines.size()) return false;
  const std::string line = context.box.lines[row];
  const EntryRecord record = SendToBoxRecord(line, context.locations);
  if (!context.box.writable()) return BoxNotLoaded(context, ShownName(record.Name));
  if (ask && !context.prompt.AskYesNo(SendToDeleteQuestion(record.Name, true), kDeleteCaption,
                                      PromptIcon::kQuestion))
    return false;
  if (!context.box.Remove(row)) {
    Tell(context, ShownName(record.Name), std::string(msg::kBoxNotWritten) + "\n" + context.box.path,
         PromptIcon::kError);
    return false;
  }
  return true;
}

}  // namespace orvela
