// The uninstall page's changes: removing an entry's uninstall information after saving it,
// and the watch over started uninstallers.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "uninstall/uninstall_list.h"

namespace orvela {

struct UninstallContext {
  RegistryBackend& registry;
  Prompt& prompt;
  std::string backup_folder;  // ends in a separator
};

inline constexpr std::string_view kConfirmDeleteCaption = "削除確認";
inline constexpr std::string_view kRemoveQuestion = " ]\n\nアンインストール情報を削除してよろしいですか？";
inline constexpr std::string_view kEntryGone =
    "このアンインストール情報は既にレジストリにありません。一覧を更新します。";
inline constexpr std::string_view kNotDeleted =
    "アンインストール情報を削除できませんでした。保存したファイルは残してあります。";
// Told, after "[ display name ]", of an entry the user may not delete: then the key that
// refuses and why. Nothing is saved or deleted.
inline constexpr std::string_view kNotRemovable =
    "このアンインストール情報を削除する権限がないため、削除しませんでした。";

enum class RemoveResult {
  kKept,     // the user said no, or the removal failed (and the user was told)
  kRemoved,  // saved and deleted
  kGone,     // the key was gone already
};

// Runs `work` where the window is not kept waiting (saying it is `doing` so), then `then`
// back on the window's thread.
using RunOffWindow =
    std::function<void(std::string_view doing, std::function<void()> work, std::function<void()> then)>;

inline constexpr std::string_view kCheckingRights = "アンインストール情報を確認しています...";
inline constexpr std::string_view kSavingAndRemoving = "アンインストール情報を保存して削除しています...";

// Asks "[ display name ]" + kRemoveQuestion, then saves the key to a new file named after the
// row's title and deletes it. A key the user may not delete whole is refused before the
// question. When the file could not be written or does not hold every value and subkey, the
// user is told which and nothing is deleted (the new file goes again). The look for a subkey
// that may not be deleted, and the saving and deleting, go through `run`: an entry with
// thousands of subkeys takes seconds. What the saving has to tell is shown after it; `done`
// gets the result (not at all when the window closed in between).
void RemoveUninstallInformation(const UninstallContext& context, const SortRow& row, std::string_view display_name,
                                const RunOffWindow& run, const std::function<void(RemoveResult)>& done);

// Timer2's watch over started uninstallers. Entries are named by their location, so a
// refill, a sort or another page in between never makes it take the wrong row.
class UninstallWatch {
 public:
  void Add(UninstallKey key) { pending_.push_back(std::move(key)); }
  bool waiting() const { return !pending_.empty(); }
  const std::vector<UninstallKey>& pending() const { return pending_; }
  // Only the first pending entry is looked at: once its "UninstallString" reads empty (key
  // or value gone) it is returned and the whole list is cleared; otherwise nullopt.
  std::optional<UninstallKey> Tick(RegistryBackend& registry);

 private:
  std::vector<UninstallKey> pending_;
};

}  // namespace orvela
