#include "uninstall/uninstall_actions.h"

#include "platform/file_io.h"
#include "regfile/registry_file.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_values.h"

namespace orvela {

RemoveResult RemoveUninstallInformation(UninstallContext& context, const SortRow& row,
                                        std::string_view display_name) {
  const std::string path = row.key.BackendPath();
  const std::string heading = "[ " + std::string(display_name) + " ]\n\n";
  if (const std::optional<KeyRefusal> refusal = context.registry.DeleteRefusal(row.key.root, path)) {
    context.prompt.ShowMessage(heading + std::string(kNotRemovable) + "\n" +
                                   TRegistryFile::RootKeyToName(row.key.root) + "\\" + refusal->path +
                                   "\n理由：" + SystemErrorText(refusal->code),
                               kConfirmDeleteCaption, PromptIcon::kWarning);
    return RemoveResult::kKept;
  }
  const std::string question = "[ " + std::string(display_name) + std::string(kRemoveQuestion);
  if (!context.prompt.AskYesNo(question, kConfirmDeleteCaption, PromptIcon::kQuestion)) return RemoveResult::kKept;
  if (!context.registry.KeyExists(row.key.root, path)) {
    context.prompt.ShowMessage(kEntryGone, kConfirmDeleteCaption, PromptIcon::kInformation);
    return RemoveResult::kGone;
  }

  const UninstallBackup backup =
      SaveUninstallBackup(context.registry, context.prompt, context.backup_folder, row.caption, row.key);
  if (!backup.result.complete()) {
    if (backup.result.file_written) DeleteFileAt(backup.file);  // nothing was removed
    context.prompt.ShowMessage(heading + IncompleteBackupText(backup), kConfirmDeleteCaption, PromptIcon::kWarning);
    return RemoveResult::kKept;
  }
  if (!context.registry.DeleteKeyTree(row.key.root, path) && context.registry.KeyExists(row.key.root, path)) {
    // Part of it may be gone: the file stays, the only copy of that part.
    context.prompt.ShowMessage(std::string(kNotDeleted) + (backup.result.file_written ? "\n" + backup.file : ""),
                               kConfirmDeleteCaption, PromptIcon::kError);
    return RemoveResult::kKept;
  }
  return RemoveResult::kRemoved;
}

std::optional<UninstallKey> UninstallWatch::Tick(RegistryBackend& registry) {
  if (pending_.empty()) return std::nullopt;
  if (!ReadEntryValue(registry, pending_.front(), "UninstallString").empty()) return std::nullopt;
  UninstallKey finished = std::move(pending_.front());
  pending_.clear();
  return finished;
}

}  // namespace orvela
