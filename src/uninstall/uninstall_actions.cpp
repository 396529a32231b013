#include "uninstall/uninstall_actions.h"

#include <memory>

#include "platform/file_io.h"
#include "regfile/registry_file.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_values.h"

namespace orvela {

namespace {

// After the user said yes; what is to be told goes to `told`.
RemoveResult SaveAndDelete(RegistryBackend& registry, Prompt& told, const std::string& backup_folder,
                           const SortRow& row, const std::string& heading) {
  const std::string path = row.key.BackendPath();
  if (!registry.KeyExists(row.key.root, path)) {
    told.ShowMessage(kEntryGone, kConfirmDeleteCaption, PromptIcon::kInformation);
    return RemoveResult::kGone;
  }
  const UninstallBackup backup = SaveUninstallBackup(registry, told, backup_folder, row.caption, row.key);
  if (!backup.result.complete()) {
    if (backup.result.file_written) DeleteFileAt(backup.file);  // nothing was removed
    told.ShowMessage(heading + IncompleteBackupText(backup), kConfirmDeleteCaption, PromptIcon::kWarning);
    return RemoveResult::kKept;
  }
  if (!registry.DeleteKeyTree(row.key.root, path) && registry.KeyExists(row.key.root, path)) {
    // Part of it may be gone: the file stays, the only copy of that part.
    told.ShowMessage(std::string(kNotDeleted) + (backup.result.file_written ? "\n" + backup.file : ""),
                     kConfirmDeleteCaption, PromptIcon::kError);
    return RemoveResult::kKept;
  }
  return RemoveResult::kRemoved;
}

}  // namespace

void RemoveUninstallInformation(const UninstallContext& context, const SortRow& row, std::string_view display_name,
                                const RunOffWindow& run, const std::function<void(RemoveResult)>& done) {
  struct Removal {
    std::optional<KeyRefusal> refusal;
    HeldMessages told;
    RemoveResult result = RemoveResult::kKept;
  };
  auto removal = std::make_shared<Removal>();
  const std::string heading = "[ " + std::string(display_name) + " ]\n\n";
  const std::string question = "[ " + std::string(display_name) + std::string(kRemoveQuestion);
  run(kCheckingRights,
      [removal, &registry = context.registry, row] {
        removal->refusal = registry.DeleteRefusal(row.key.root, row.key.BackendPath());
      },
      [removal, context, row, heading, question, run, done] {
        if (const std::optional<KeyRefusal>& refusal = removal->refusal) {
          context.prompt.ShowMessage(heading + std::string(kNotRemovable) + "\n" +
                                         TRegistryFile::RootKeyToName(row.key.root) + "\\" + refusal->path +
                                         "\n理由：" + SystemErrorText(refusal->code),
                                     kConfirmDeleteCaption, PromptIcon::kWarning);
          return done(RemoveResult::kKept);
        }
        if (!context.prompt.AskYesNo(question, kConfirmDeleteCaption, PromptIcon::kQuestion))
          return done(RemoveResult::kKept);
        run(kSavingAndRemoving,
            [removal, &registry = context.registry, folder = context.backup_folder, row, heading] {
              removal->result = SaveAndDelete(registry, removal->told, folder, row, heading);
            },
            [removal, &prompt = context.prompt, done] {
              removal->told.ShowTo(prompt);
              done(removal->result);
            });
      });
}

std::optional<UninstallKey> UninstallWatch::Tick(RegistryBackend& registry) {
  if (pending_.empty()) return std::nullopt;
  if (!ReadEntryValue(registry, pending_.front(), "UninstallString").empty()) return std::nullopt;
  UninstallKey finished = std::move(pending_.front());
  pending_.clear();
  return finished;
}

}  // namespace orvela
