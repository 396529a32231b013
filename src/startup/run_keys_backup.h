// The backup of the Run keys (startup/run_key_locations.h) in "data\regdata.reg" before the
// first change of a registry startup entry in a run, and the reload and undo that read it back.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "disabled_box/entry.h"

namespace orvela {

struct StartupContext;

// The backup state of one run of the program. Both flags start false and only ever become
// true; undo and reload do not reset them.
struct RunKeysBackup {
  std::string file_path;              // program folder + "data\regdata.reg"
  bool RunKeysSaved = false;          // the backup of this run is in the file
  bool RunKeysUndoAvailable = false;  // "保存内容の読込" and "元に戻す" are offered
  // Values that were in the keys but could not go into the file (a name with a quote or a
  // line break, an unreadable value): undo must leave them alone, as it cannot bring them
  // back.
  std::vector<std::pair<std::string, std::string>> values_not_saved;
  // Keys that existed but could not go into the file whole (not openable, not listable):
  // undo leaves their values alone.
  std::vector<std::string> keys_not_saved;
  // Keys that did not exist when the file was written: it has no section for them, and
  // every value they have at undo time came later.
  std::vector<std::string> keys_missing;
  // Runs the backup's reading of the keys and writing of the file and returns when it is
  // done; empty: on the caller's thread. The window runs it on another thread meanwhile
  // answering, as thousands of values take a while. The work shows nothing itself.
  std::function<void(const std::function<void()>& work)> run_file_work;
};

// Told when the backup file fails its check (followed by a line break and its path).
inline constexpr std::string_view kBackupDamaged =
    "保存したレジストリの内容ファイルが壊れているため、読み込みませんでした。\n"
    "レジストリは変更していません。";
// Told when the backup file has a section of another key than the Run keys it was written
// with (followed by a line break, its path and those keys).
inline constexpr std::string_view kBackupOutsideRunKeys =
    "保存したレジストリの内容ファイルに、保存した Run キー以外のキーが含まれているため、"
    "読み込みませんでした。\nレジストリは変更していません。";
// Told when the restore would change a key the user may not change (followed by each such
// key and why).
inline constexpr std::string_view kRestoreRefused =
    "次のキーを変更する権限がないため、読み込みませんでした。\nレジストリは変更していません。";
// Told after undo, each followed by the names, one "[name]" a line.
inline constexpr std::string_view kUndoMovedToBox =
    "次の値は保存した内容に含まれていないため、無効ボックスに移しました。";
inline constexpr std::string_view kUndoKeptValues =
    "次の値は保存した内容に含まれていませんが、無効ボックスに移せなかったため、削除せずに残しました。";
// Told when entries came back but the Disabled Box file could not drop their lines.
inline constexpr std::string_view kUndoBoxNotWritten =
    "元に戻しましたが、無効ボックスのファイルに書き込めませんでした。";

// Asked when the backup file cannot be written, before anything is changed.
inline constexpr std::string_view kBackupNotWrittenQuestion =
    "変更前のレジストリ内容をファイルに保存できませんでした。\n"
    "このまま続けると、この変更は「元に戻す」で戻せません。\n\n続けますか？";

// Takes the backup at the first change of a registry entry in the run: does nothing when it
// is taken already or when `selected` is null or no registry entry (a later change may still
// take it). Writes the keys in order, replacing the file, and sets both flags; a 32-bit key
// that does not exist is left out without the writer's warning (most machines have none).
// When the file cannot be written the flags stay false and the user is asked whether to go
// on without it (title "Orvela", warning icon). False when the change must not go on.
bool SaveRunKeys(RunKeysBackup& backup, RegistryBackend& registry, Prompt& prompt,
                 const EntryRecord* selected);

// Reload (true): creates the saved keys that no longer exist, with their values; existing
// keys stay as they are. Undo (false): the Run keys get exactly their saved values back;
// deleted values return, changed ones get their saved data, and a value added since goes
// into the Disabled Box (its line written to the box file at once) before it is removed,
// so it can be enabled again; one whose line cannot be made stays, and the user is told.
// Either way an entry put back leaves the Disabled Box.
// The whole file is read and checked first: a file that is missing, damaged (anything a
// load would warn about or pass over), without the section of a key it was written with or
// with a section of any other key (one below a saved Run key excepted) changes nothing; the
// user is told and the result is false. Values the file could not
// hold are never removed by undo.
bool RestoreRunKeys(StartupContext& context, bool reload);

}  // namespace orvela
