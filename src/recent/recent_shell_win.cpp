#include "recent/recent_shell_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <unordered_set>

#include "components/link_file.h"
#include "components/shell_link_win.h"
#include "system/program_lookup_win.h"
#include "platform/folders_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

std::int64_t TimeOf(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// Calls `each` for every entry of the folder matching the pattern but "." and "..".
template <typename Each>
void ForEachEntry(const std::string& folder, const wchar_t* pattern, Each each) {
  if (folder.empty()) return;  // an unknown folder must not become the current one
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileExW((Wide(folder) + L"\\" + pattern).c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const wchar_t* name = found.cFileName;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    each(found);
  } while (FindNextFileW(find.get(), &found));
}

// A new row for the found name, in UTF-8.
RecentRow& AddFound(const WIN32_FIND_DATAW& found, std::uint32_t source, RecentRows& rows) {
  char buffer[MAX_PATH * 3];
  const int length = WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, buffer, sizeof buffer, nullptr, nullptr);
  if (length > 0) return rows.Add(std::string_view(buffer, static_cast<size_t>(length - 1)), source);
  return rows.Add(Narrow(found.cFileName), source);
}

bool IsUrlFile(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot != std::string::npos && lstrcmpiW(Wide(name.substr(dot)).c_str(), L".url") == 0;
}

std::string StrRetText(STRRET& value, LPCITEMIDLIST item) {
  wchar_t text[MAX_PATH] = {};
  if (FAILED(StrRetToBufW(&value, item, text, MAX_PATH))) return {};
  return Narrow(text);
}

int GenericIcon(const std::string& path, bool folder) {
  SHFILEINFOW info{};
  const size_t dot = path.rfind('.'), slash = path.rfind('\\');
  const std::wstring pattern =
      folder ? L"folder" : L"*" + Wide(dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                           ? path.substr(dot) : std::string());
  if (!SHGetFileInfoW(pattern.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                      SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
    return -1;
  return info.iIcon;
}

int OverlayOf(bool folder, SFGAOF attributes) {
  if (folder) return (attributes & SFGAO_SHARE) ? 0 : -1;
  return (attributes & SFGAO_LINK) ? 1 : -1;
}

}  // namespace

void ListRecentShortcuts(const std::string& folder, RecentRows& rows) {
  const auto source = static_cast<std::uint32_t>(rows.sources.size());
  rows.sources.push_back({folder, ""});
  ForEachEntry(folder, L"*.lnk", [&](const WIN32_FIND_DATAW& found) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    RecentRow& row = AddFound(found, source, rows);
    row.time = TimeOf(found.ftLastWriteTime);
    row.size = found.nFileSizeLow;
    row.name_length = NameLength(rows.FileOf(row));
  });
}

void ListProgramsEntries(const std::string& folder, const std::string& profile, RecentRows& rows) {
  const auto source = static_cast<std::uint32_t>(rows.sources.size());
  rows.sources.push_back({folder, profile});
  ForEachEntry(folder, L"*", [&](const WIN32_FIND_DATAW& found) {
    RecentRow& row = AddFound(found, source, rows);
    row.name_length = EntryNameLength(rows.FileOf(row), !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY));
  });
}

namespace {

bool TargetExists(const std::string& target) {
  return GetFileAttributesW(Wide(ExpandEnvironmentText(target)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the byte reader does not handle, through the shell link object.
bool ShellLinkTargetWorks(const std::string& path) {
  ComScope com;
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
    return false;
  ComPtr<IPersistFile> file = link.query<IPersistFile>();
  if (!file || FAILED(file->Load(Wide(path).c_str(), STGM_READ))) return false;
  // The stored path is read as it is: turning the item id list back into a path costs
  // the shell a walk down every folder on the way.
  std::wstring target(32768, L'\0');
  WIN32_FIND_DATAW unused{};
  if (link->GetPath(target.data(), 32768, &unused, SLGP_RAWPATH) == S_OK && target[0]) {
    return TargetExists(Narrow(target.c_str()));
  }
  // A target outside the file system (a control panel item and the like).
  UniqueItemIdList item;
  return SUCCEEDED(link->GetIDList(item.put())) && item;
}

}  // namespace

bool IsWorkingShortcut(const std::string& path) {
  // The stored target straight from the file's bytes: loading the shortcut through the
  // shell link object costs a millisecond or two, far more than reading it.
  if (const std::optional<LinkFile> file = ReadLinkFileAt(path)) return TargetExists(file->target);
  return ShellLinkTargetWorks(path);
}

namespace {

// The files CountBrokenFiles examines, in its order; `found` counts them as they come.
void FilesToExamine(const std::string& folder, std::vector<std::string>& files, std::atomic<size_t>* found,
                    const std::atomic<bool>* stop) {
  std::vector<std::string> subfolders;
  ForEachEntry(folder, L"*", [&](const WIN32_FIND_DATAW& found_entry) {
    const std::string name = Narrow(found_entry.cFileName);
    if (found_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction could lead back up the tree: only real folders are walked.
      if (!(found_entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subfolders.push_back(folder + "\\" + name);
      return;
    }
    if (IsUrlFile(name)) return;
    files.push_back(folder + "\\" + name);
    if (found) ++*found;
  });
  for (const std::string& subfolder : subfolders) {
    if (stop && *stop) return;
    FilesToExamine(subfolder, files, found, stop);
  }
}

}  // namespace

void CountBrokenFiles(const std::string& folder, int& examined, int& broken) {
  std::vector<std::string> files;
  FilesToExamine(folder, files, nullptr, nullptr);
  for (const std::string& file : files) {
    ++examined;
    if (!IsWorkingShortcut(file)) ++broken;
  }
}

std::vector<std::string> BrokenFileNames(const std::string& folder, CommandProgress& progress) {
  std::vector<std::string> files, names;
  FilesToExamine(folder, files, &progress.total, &progress.stop);
  for (const std::string& file : files) {
    if (progress.stop) break;
    if (!IsWorkingShortcut(file)) names.push_back(file.substr(file.rfind('\\') + 1));
    ++progress.done;
  }
  return names;
}

LinkState TargetStateMark(const std::string& target) {
  return TargetExists(target) ? LinkState::kWorks : LinkState::kBroken;
}

namespace {

// A file name as the file system compares it: case ignored.
std::wstring NameKey(std::wstring_view name) {
  std::wstring key(name);
  bool ascii = true;
  for (wchar_t& c : key) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    ascii = ascii && c < 0x80;
  }
  if (!ascii)  // the system's own table, past the letters a to z
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.data(), static_cast<int>(key.size()), key.data(),
                  static_cast<int>(key.size()), nullptr, nullptr, 0);
  return key;
}

// A drive path without ".", "..", "/", a doubled "\\" or a trailing dot or space: already as
// GetFullPathName would give it (most stored targets are: thousands of them then cost no more
// than their conversion).
bool IsFullDrivePath(std::wstring_view path) {
  return path.size() > 3 && path[1] == L':' && path[2] == L'\\' && path.find(L"\\.") == std::wstring_view::npos &&
         path.find(L'/') == std::wstring_view::npos && path.find(L"\\\\") == std::wstring_view::npos &&
         path.back() != L'.' && path.back() != L' ';
}

// The full path of a target: variables expanded, "." and ".." gone.
std::wstring FullTargetPath(const std::string& target) {
  const std::wstring expanded = Wide(target.find('%') == std::string::npos ? target : ExpandEnvironmentText(target));
  if (IsFullDrivePath(expanded)) return expanded;
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(expanded.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return expanded;
    if (length < full.size()) return full.substr(0, length);
    full.resize(length);
  }
}

}  // namespace

std::vector<LinkState> TargetStateMarks(const std::vector<std::string>& targets, bool list_folder) {
  std::vector<LinkState> states;
  states.reserve(targets.size());
  std::wstring folder;                  // the listed folder, as the first target gives it
  std::unordered_set<std::wstring> names;  // its entries' NameKey
  bool listed = false;
  for (const std::string& target : targets) {
    const std::wstring full = list_folder ? FullTargetPath(target) : std::wstring();
    const size_t slash = full.rfind(L'\\');
    const std::wstring_view name = slash == std::wstring::npos ? std::wstring_view() : std::wstring_view(full).substr(slash + 1);
    const std::wstring_view parent = std::wstring_view(full).substr(0, slash == std::wstring::npos ? 0 : slash);
    if (list_folder && folder.empty() && !name.empty()) {
      folder = parent;
      // A folder that is not there holds none of them; one that cannot be listed is asked
      // file by file.
      WIN32_FIND_DATAW found{};
      UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
      const DWORD error = find ? ERROR_SUCCESS : GetLastError();
      listed = find || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
      if (find) {
        do names.insert(NameKey(found.cFileName));
        while (FindNextFileW(find.get(), &found));
      }
    }
    // A short name ("PROGRA~1") may stand for a long one the listing gives: asked itself.
    const bool from_listing = listed && !name.empty() && name.find(L'~') == std::wstring_view::npos &&
                              CompareStringOrdinal(parent.data(), static_cast<int>(parent.size()), folder.data(),
                                                   static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
    states.push_back(from_listing ? (names.count(NameKey(name)) ? LinkState::kWorks : LinkState::kBroken)
                                  : TargetStateMark(target));
  }
  return states;
}

LinkState StateMarkOfOther(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LinkState::kBroken;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    int examined = 0, broken = 0;
    CountBrokenFiles(path, examined, broken);
    return FolderState(examined, broken);
  }
  // The byte reader had its turn: only the shell link object is left to ask.
  return ShellLinkTargetWorks(path) || IsUrlFile(path) ? LinkState::kWorks : LinkState::kBroken;
}

SystemIcon SystemIconFinder::SystemIconOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  std::string parent = slash == std::string::npos ? path : path.substr(0, slash);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';  // "C:" alone is the drive's current folder
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  SystemIcon found;
  if (!parent.empty() && !name.empty() && FromNamespace(parent, name, found)) return found;

  SHFILEINFOW info{};  // Wine leaves an earlier call's icon in it when a path is missing
  const DWORD_PTR ok = SHGetFileInfoW(Wide(path).c_str(), 0, &info, sizeof info,
                                      SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME |
                                          SHGFI_ATTRIBUTES);
  const bool named = ok && (info.szDisplayName[0] || info.szTypeName[0]);
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  const bool is_folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!named) {
    found.icon = GenericIcon(path, is_folder);
    return found;
  }
  found.icon = info.iIcon;
  found.overlay = OverlayOf(is_folder || (info.dwAttributes & SFGAO_FOLDER), info.dwAttributes);
  return found;
}

bool SystemIconFinder::FromNamespace(const std::string& parent, const std::string& name, SystemIcon& found) {
  if (parent != bound_parent_) {
    bound_parent_.clear();
    parent_folder_.reset();
    ComPtr<IShellFolder> desktop;
    UniqueItemIdList parent_item = ParsePath(parent);
    if (!parent_item || FAILED(SHGetDesktopFolder(desktop.put())) ||
        FAILED(desktop->BindToObject(parent_item.get(), nullptr, IID_IShellFolder, parent_folder_.put_void()))) {
      parent_folder_.reset();
      return false;
    }
    bound_parent_ = parent;
  }
  std::wstring wide_name = Wide(name);
  UniqueItemIdList child;
  if (FAILED(parent_folder_->ParseDisplayName(nullptr, nullptr, wide_name.data(), nullptr, child.put(), nullptr)) ||
      !child)
    return false;
  LPCITEMIDLIST items[] = {child.get()};
  STRRET display{};
  if (FAILED(parent_folder_->GetDisplayNameOf(child.get(), SHGDN_NORMAL, &display))) return false;
  const std::string display_name = StrRetText(display, child.get());
  std::string type_name;
  if (ComPtr<IShellFolder2> details = parent_folder_.query<IShellFolder2>()) {
    SHELLDETAILS column{};
    if (SUCCEEDED(details->GetDetailsOf(child.get(), 2, &column))) type_name = StrRetText(column.str, child.get());
  }
  SFGAOF attributes = SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK;
  if (FAILED(parent_folder_->GetAttributesOf(1, items, &attributes))) attributes = 0;
  if (display_name.empty() || type_name.empty()) return false;
  ComPtr<IShellIcon> icons = parent_folder_.query<IShellIcon>();
  int index = -1;
  if (!icons || icons->GetIconOf(child.get(), GIL_FORSHELL, &index) != S_OK || index < 0) return false;
  const std::string path = bound_parent_.back() == '\\' ? bound_parent_ + name : bound_parent_ + "\\" + name;
  const DWORD file_attributes = GetFileAttributesW(Wide(path).c_str());
  const bool is_folder = (attributes & SFGAO_FOLDER) ||
                         (file_attributes != INVALID_FILE_ATTRIBUTES && (file_attributes & FILE_ATTRIBUTE_DIRECTORY));
  found.icon = index;
  found.overlay = OverlayOf(is_folder, attributes);
  return true;
}

SystemIcon ThreadSystemIconOf(const std::string& path) {
  // One per thread for the program's run: the worker's threads end only with it.
  thread_local SystemIconFinder* finder = new SystemIconFinder();
  return finder->SystemIconOf(path);
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash);
}

bool HasLinkExtension(const std::string& path) {
  const size_t dot = path.rfind('.'), slash = path.rfind('\\');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
         lstrcmpiW(Wide(path.substr(dot)).c_str(), L".lnk") == 0;
}

OpenChoice ChooseWhatToOpen(const std::string& path, const TShellLink& links, HWND owner) {
  OpenChoice choice{OpenChoice::Kind::kOpen, path, {}};
  if (!FolderExists(path) && HasLinkExtension(path)) {
    std::string target;
    if (links.GetLinkToPath(path, target, owner) != 0) return {OpenChoice::Kind::kTargetGone, path, {}};
    // No target on disk: gone, unless the shortcut leads to a shell item that is no file.
    if (target == path && !IsWorkingShortcut(path)) return {OpenChoice::Kind::kTargetGone, path, {}};
    choice.path = target;
  }
  if (FileExists(choice.path)) {
    choice.folder = FolderPart(choice.path);
  } else if (!FolderExists(choice.path)) {
    UniqueItemIdList item = ParsePath(choice.path);
    if (!item || !OpensAsFolder(item.get(), owner)) choice.kind = OpenChoice::Kind::kCannotOpen;
  }
  return choice;
}

UniqueItemIdList ParsePath(const std::string& path) {
  UniqueItemIdList item;
  if (FAILED(SHParseDisplayName(Wide(path).c_str(), nullptr, item.put(), 0, nullptr))) item.reset();
  return item;
}

bool OpensAsFolder(LPCITEMIDLIST item, HWND owner) {
  ComPtr<IShellFolder> desktop, folder;
  if (FAILED(SHGetDesktopFolder(desktop.put()))) return false;
  if (FAILED(desktop->BindToObject(item, nullptr, IID_IShellFolder, folder.put_void()))) return false;
  ComPtr<IEnumIDList> items;
  return folder->EnumObjects(owner, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, items.put()) ==
             S_OK &&
         items;
}

bool OpenWithChooser(HWND owner, const std::string& path) {
  const std::wstring parameters = L"shell32.dll,OpenAs_RunDLL " + Wide(path);
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.hwnd = owner;
  run.lpFile = L"rundll32.exe";
  run.lpParameters = parameters.c_str();
  run.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&run) != FALSE;
}

bool OpenPath(HWND owner, const std::string& path, const std::string& folder) {
  const std::wstring wide_folder = Wide(folder);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", Wide(path).c_str(), nullptr,
                                                              folder.empty() ? nullptr : wide_folder.c_str(),
                                                              SW_SHOWNORMAL));
  if (result > 32) return true;
  if (result == SE_ERR_NOASSOC) return OpenWithChooser(owner, path);
  return false;
}

std::wstring ShellPathList(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) {
    list += Wide(path);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

ShellDeleteResult DeleteToRecycleBin(HWND owner, const std::vector<std::string>& paths) {
  if (paths.empty()) return ShellDeleteResult::kCancelled;
  const std::wstring list = ShellPathList(paths);
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
  const int code = SHFileOperationW(&operation);
  if (operation.fAnyOperationsAborted || code == ERROR_CANCELLED) return ShellDeleteResult::kCancelled;
  return code == 0 ? ShellDeleteResult::kDone : ShellDeleteResult::kFailed;
}

}  // namespace orvela
