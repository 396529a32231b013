// Uninstall information saved before it is removed: one Registry Text Data file per entry
// in the backup folder ("data\uninst\"), named after the entry's title, never written over;
// and loading such a file back.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "regfile/registry_file.h"
#include "uninstall/uninstall_list.h"

namespace orvela {

// The longest path the file system takes (without its terminator), in UTF-16 units.
inline constexpr size_t kLongestPath = 259;

// The name part a title gives: the title itself when it is a valid file name; otherwise
// the characters a name cannot hold become their full-width forms (as shortcut names do),
// control characters "_", blanks at the end go, a device name ("CON", "NUL"...) gets "_",
// and an empty title becomes "0". Cut so that the folder, the name, a number of up to four
// digits and ".reg" fit in a path.
std::string BackupFileStem(std::string_view title, std::string_view folder);

// folder + stem + ".reg", or stem + "1" + ".reg", "2", ... : the first name not taken.
std::string ChooseBackupFile(std::string_view folder, std::string_view title,
                             const std::function<bool(const std::string&)>& taken);

// A row of the saved-information list: the file name without its last extension.
std::string BackupCaption(std::string_view file_name);

struct UninstallBackup {
  std::string file;  // the name chosen (written only when result.file_written)
  SaveResult result;
  SystemError error = kErrorNone;  // why the file was not written, when it was not
};

// Writes the entry's key, with all its values and subkeys, to a new file of the folder. A
// key that cannot be read writes no file: a file that holds no key would only stand in the
// saved-information list as one that cannot be restored.
UninstallBackup SaveUninstallBackup(RegistryBackend& registry, Prompt& prompt, std::string_view folder,
                                    std::string_view title, const UninstallKey& key);

// What the user is told when an entry is not removed because its backup is not complete.
std::string IncompleteBackupText(const UninstallBackup& backup);

enum class RestoreOutcome {
  kRejected,  // refused (not readable, not the format, keys outside its entry): nothing
              // written, the user told why
  kPartial,   // the file is damaged, or some of its keys or values are not in the registry
  kRestored,  // every key and value of the file is in the registry with the file's data
};

// Loads the file back and reads every key and value of it back afterwards. The whole file
// is read and checked first: its first section names the entry (one key right below one of
// the Uninstall keys), and a file with a section outside that entry writes nothing. A
// damaged file writes its readable part only when the user says so (and stays). A key
// that exists is completed and its values get the file's data; values the file does not
// hold stay.
RestoreOutcome RestoreUninstallBackup(const std::string& file, RegistryBackend& registry, Prompt& prompt);

// "戻す" (restore) and "削除" over the selected rows of the saved-information list, walked
// from the last to the first. A row's file is always folder + caption + ".reg". A restored
// file is deleted; one that could not be restored whole stays with its row, and so does a
// row whose file could not be deleted (or is not there).
struct BackupRowsResult {
  std::vector<size_t> removed;  // the rows whose files are gone, from the last to the first
  bool restored = false;        // something was put back into the registry
};
BackupRowsResult ProcessBackupRows(const std::vector<std::string>& captions, const std::vector<bool>& selected,
                                   const std::string& folder, bool restore, RegistryBackend& registry,
                                   Prompt& prompt);

inline constexpr std::string_view kPartlyRestored =
    "保存した内容の一部を戻せなかったため、保存ファイルを残しました。";
// Asked for a damaged file (No is the default), with its path after the first line.
inline constexpr std::string_view kDamagedBackupQuestion =
    "この保存ファイルは一部が壊れています（途中で切れているか、読めない行があります）。";
inline constexpr std::string_view kRestoreReadablePart =
    "読める部分だけをレジストリに戻しますか？\n保存ファイルは残します。";
// Told for a file with keys outside its entry, followed by its path and those keys.
inline constexpr std::string_view kOutsideEntry =
    "この保存ファイルには、保存したアンインストール情報の項目以外のキーが含まれています。"
    "ファイルが書き換えられた可能性があるため、何も戻さずにファイルを残しました。";
inline constexpr std::string_view kOutsideKeysHeading = "対象外のキー:";
// The question of "削除", after the number of selected rows.
inline constexpr std::string_view kDeleteBackupsQuestion = "個の保存データを削除します。よろしいですか？";

}  // namespace orvela
