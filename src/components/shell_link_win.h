// TShellLink: the program's one gateway to shortcut files (.lnk) and the special shell
// folders. Paths are UTF-8; nothing here shows a message, failures come back as empty
// strings, empty item id lists, false or an error code.
//
// COM: the main window initialises it for the UI thread; tests call CoInitialize.
// Item id lists come back as orvela::UniqueItemIdList (freed with the shell allocator
// when it goes); a raw list taken out with release() is freed with ItemIdListFree.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <string_view>

#include "platform/handles_win.h"

namespace orvela {

// The file-system path of a special folder (CSIDL_ value), "" when it has none.
// CSIDL_WINDOWS and CSIDL_SYSTEM fall back to the system's own answer.
std::string ShellFolderPath(int csidl);

class TShellLink {
 public:
  std::string GetPath(int csidl) const { return ShellFolderPath(csidl); }
  // Empty on failure.
  UniqueItemIdList GetCodeToItemIdList(int csidl) const;
  // True when the shell allocator freed the list (null counts as freed).
  bool ItemIdListFree(LPITEMIDLIST list) const;
  // The folder's display name; `icon` receives its icon (empty when the shell gave none).
  std::string GetNameOrHandIcon(int csidl, UniqueHicon& icon, bool small) const;

  // `target` becomes the shortcut's target when that names an existing file or folder,
  // otherwise the shortcut's own path, so a broken shortcut compares equal to itself.
  // Returns 0 when the shortcut was loaded, resolved and read, else the failing HRESULT.
  // `owner` null: no UI, no search, no tracking and no write while resolving.
  int GetLinkToPath(const std::string& link, std::string& target, HWND owner) const;
  // The shortcut as stored, loaded and resolved as GetLinkToPath does: `path` its target
  // (environment references expanded) whether that exists or not, `own_icon` whether it
  // names an icon of its own. 0 or the failing HRESULT; `path` is empty on failure.
  int ReadLinkTarget(const std::string& link, std::string& path, bool& own_icon, HWND owner) const;
  // The shortcut's target as an item id list; empty on failure.
  UniqueItemIdList GetLinkToItemId(const std::string& link, HWND owner) const;
  // The target path as stored (%NAME% references expanded, existence not checked, so a
  // network path out of reach comes back too) and the arguments, without resolving.
  // False when the file could not be loaded as a shortcut.
  bool GetLinkFields(const std::string& link, std::string& path, std::string& arguments) const;
  // The same of a shortcut's bytes (no file is made): the target path as GetLinkFields gives
  // it and the target item id list, nothing resolved. False when the bytes are no shortcut.
  bool GetBytesTarget(std::string_view bytes, std::string& path, UniqueItemIdList& item) const;

  // Writes a shortcut to `target` (or, when that is empty, to the shell item `item`) into
  // the folder, named `name` (forbidden characters replaced) or after the target. Without
  // `overwrite` a taken name gets "(1)", "(2)", ... Returns the shortcut's path, "" when
  // nothing was written.
  std::string CreateLink(const std::string& target, LPCITEMIDLIST item, int csidl,
                         const std::string& name, bool overwrite);
  std::string CreateLink2(const std::string& target, LPCITEMIDLIST item, const std::string& folder,
                          const std::string& name, bool overwrite);
  // Whether the shortcut CreateLink2 would write into the folder exists already. Writes
  // nothing.
  bool LinkNameTaken(const std::string& target, LPCITEMIDLIST item, const std::string& folder,
                     const std::string& name) const;

  // Whether a shortcut named after the target, or else named `name`, exists in the folder.
  // Writes nothing.
  bool ChkLink(const std::string& target, LPCITEMIDLIST item, const std::string& name, int csidl) const;
  // Looks in the folder for files whose name contains `name` or that resolve exactly to
  // `target`; deletes them when `del`. True when one was found.
  bool ChkLinkOrDel(const std::string& target, const std::string& name, int csidl, bool del) const;
  // As ChkLinkOrDel, in a folder given by path; an empty `target` matches by name only.
  // Processes pending window messages between entries.
  bool ChkLinkFileOrDel(const std::string& folder, const std::string& name, const std::string& target,
                        bool del) const;
  // Deletes the first existing of: the file-name part of `name` with ".lnk" for its
  // extension, `name` + ".lnk", `alternative` + ".lnk".
  void DeleteLink(int csidl, const std::string& name, const std::string& alternative);

  std::string PathToSetKugiriMog(const std::string& path) const;
  std::string FileMogChk(const std::string& name) const;
  void MogChange(std::string& text, const std::string& from, const std::string& to) const;
};

}  // namespace orvela
