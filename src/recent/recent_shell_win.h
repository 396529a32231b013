// What the recent-files and programs pages ask of the file system and the shell: the
// folder walks of the fills, the state of a shortcut or folder, the system icon of a
// path, opening and deleting.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>
#include <vector>

#include "window/page_command_win.h"
#include "rows/local_time_win.h"
#include "platform/handles_win.h"
#include "recent/recent_rows.h"

namespace orvela {

class TShellLink;

// Adds the ".lnk" files of the folder with their last-write times, in the order found. A
// folder that is missing or cannot be read adds none.
void ListRecentShortcuts(const std::string& folder, RecentRows& rows);
// Adds every entry of the folder (files and sub-folders, no recursion), captioned `profile`.
void ListProgramsEntries(const std::string& folder, const std::string& profile, RecentRows& rows);

// A shortcut that loads and whose target is there: a file-system target must exist, any
// other target must at least have an item id list. Never resolves, so looking at a
// shortcut never rewrites it.
bool IsWorkingShortcut(const std::string& path);
// A row's state is its shortcut's stored target's (read with ReadLinkFileAt, see
// TargetStateMark) when the byte reader handles the file; else StateMarkOfOther: "×" for
// nothing there and for a file that is neither a working shortcut nor a ".url"; a folder by
// its files (FolderState over the whole tree).
LinkState StateMarkOfOther(const std::string& path);
// The state of a shortcut whose stored target is known: only the target is asked for.
LinkState TargetStateMark(const std::string& target);
// The same of many targets. With `list_folder` they are targets in one folder (as the
// first gives it), which is listed once instead of asking for each file: one round trip
// where each file would be one (on a network share; and under Wine a name that is not
// there costs a search through the whole folder). A target elsewhere or given by a short
// name is still asked for itself.
std::vector<LinkState> TargetStateMarks(const std::vector<std::string>& targets, bool list_folder);
// Every file of the tree but ".url" files is examined; a broken one is counted. Files of a
// folder come before its sub-folders.
void CountBrokenFiles(const std::string& folder, int& examined, int& broken);
// The file names of the tree's broken files, in the same order, for a long command:
// `progress` counts the files found (total) and examined (done); a stop ends the walk with
// the names found so far.
std::vector<std::string> BrokenFileNames(const std::string& folder, CommandProgress& progress);

// The system's small icon index of a path and its overlay (-1 none, 0 shared, 1 link).
struct SystemIcon {
  int icon = -1;
  int overlay = -1;
};
// Asks the shell namespace first and the file-information query after; keeps the last
// parent folder bound, since the rows of a page mostly share one.
class SystemIconFinder {
 public:
  SystemIcon SystemIconOf(const std::string& path);

 private:
  bool FromNamespace(const std::string& parent, const std::string& name, SystemIcon& found);

  std::string bound_parent_;
  ComPtr<IShellFolder> parent_folder_;
};

// SystemIconOf through a finder of the calling thread's own (a bound shell folder belongs to
// the thread that bound it): for the worker's threads.
SystemIcon ThreadSystemIconOf(const std::string& path);

// The folder part of a path ("C:\\" for a file in a drive's root); "" without one.
std::string FolderPart(const std::string& path);
bool HasLinkExtension(const std::string& path);

// What "開く" hands to the shell for an entry, or why nothing.
struct OpenChoice {
  enum class Kind { kOpen, kTargetGone, kCannotOpen } kind = Kind::kOpen;
  std::string path;    // what the shell opens
  std::string folder;  // the started program's working folder ("" for none)
};
// A folder or file opens as it is, a shortcut as its target, resolved by the shell (which
// may ask the user about a moved target, owned by `owner`). A working shortcut whose target
// is no file (a control panel item, the computer) opens as the shortcut itself, which the
// shell follows as Explorer does. Anything else must open as a shell folder.
OpenChoice ChooseWhatToOpen(const std::string& path, const TShellLink& links, HWND owner);

// The item id list of a path as the desktop folder parses it; empty when it cannot.
UniqueItemIdList ParsePath(const std::string& path);
// Whether the item opens as a shell folder whose items can be listed.
bool OpensAsFolder(LPCITEMIDLIST item, HWND owner);
// The shell's "open" on the path; when no program is associated with it, the shell's
// open-with chooser. `folder` is the started program's working folder ("" for none).
// False when neither could be started.
bool OpenPath(HWND owner, const std::string& path, const std::string& folder = "");
// The shell's open-with chooser for the file itself.
bool OpenWithChooser(HWND owner, const std::string& path);

// The paths as the shell's delete wants them: each ended by a zero, the list by another.
std::wstring ShellPathList(const std::vector<std::string>& paths);
// Moves the entries to the Recycle Bin after the shell's own confirmation. kDone only when
// the shell reports success and that nothing was aborted.
enum class ShellDeleteResult { kDone, kCancelled, kFailed };
ShellDeleteResult DeleteToRecycleBin(HWND owner, const std::vector<std::string>& paths);

}  // namespace orvela
