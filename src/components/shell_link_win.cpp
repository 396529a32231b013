#include "components/shell_link_win.h"

#include <shlwapi.h>

#include <algorithm>
#include <optional>

#include "components/link_naming.h"
#include "platform/file_io.h"
#include "platform/message_pump_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {

namespace {

// Room for the longest path Win32 knows (the \\?\ form), not just MAX_PATH.
constexpr DWORD kLongPath = 32768;

// File calls take paths past MAX_PATH only in the \\?\ form.
std::wstring FileApiPath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  std::wstring full(kLongPath, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), kLongPath, full.data(), nullptr);
  if (length == 0 || length >= kLongPath) return wide;
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

DWORD Attributes(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(FileApiPath(path).c_str());
}

class RealFileSystem : public LinkFileSystem {
 public:
  bool FileExists(const std::string& path) const override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool FolderExists(const std::string& path) const override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

std::string SystemFolder(UINT (*query)(LPWSTR, UINT)) {
  std::wstring buffer(MAX_PATH, L'\0');
  UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = query(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return "";
  buffer.resize(length);
  return Narrow(buffer);
}

HRESULT LoadLink(const std::string& link, ComPtr<IShellLinkW>& shell_link) {
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shell_link.put_void());
  if (FAILED(hr)) return hr;
  ComPtr<IPersistFile> file = shell_link.query<IPersistFile>();
  if (!file) return E_NOINTERFACE;
  return file->Load(Wide(link).c_str(), STGM_READ);
}

// Lets the shell resolve a loaded shortcut. With an owner (a command of the user's) it may
// ask, look for a moved target and write what it found back into the shortcut; owner null
// (listing, comparing) means no UI, no search, no tracking and no write: looking at a
// shortcut must leave it as it was, whatever the shell finds of a moved target.
HRESULT ResolveLink(IShellLinkW* shell_link, HWND owner) {
  const DWORD flags = owner ? SLR_UPDATE : (SLR_NO_UI | SLR_NOUPDATE | SLR_NOSEARCH | SLR_NOTRACK);
  return shell_link->Resolve(owner, flags);
}

HRESULT OpenResolvedLink(const std::string& link, HWND owner, ComPtr<IShellLinkW>& shell_link) {
  const HRESULT hr = LoadLink(link, shell_link);
  return FAILED(hr) ? hr : ResolveLink(shell_link.get(), owner);
}

// Shortcuts made by installers often keep %windir% and the like in their raw path.
std::wstring ExpandEnvironment(const std::wstring& path) {
  if (path.find(L'%') == std::wstring::npos) return path;
  std::wstring expanded(kLongPath, L'\0');
  const DWORD length = ExpandEnvironmentStringsW(path.c_str(), expanded.data(), kLongPath);
  if (length == 0 || length > kLongPath) return path;
  expanded.resize(length - 1);
  return expanded;
}

std::optional<ShellItemName> DescribeItem(LPCITEMIDLIST item) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof info,
                      SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES)) {
    return std::nullopt;
  }
  return ShellItemName{Narrow(info.szDisplayName), (info.dwAttributes & SFGAO_FOLDER) != 0};
}

}  // namespace

std::string ShellFolderPath(int csidl) {
  std::string path;
  UniqueItemIdList list;
  if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, list.put())) && list) {
    std::wstring buffer(kLongPath, L'\0');
    if (SHGetPathFromIDListEx(list.get(), buffer.data(), kLongPath, GPFIDL_DEFAULT)) {
      path = Narrow(buffer.c_str());
    }
  }
  if (path.empty() && csidl == CSIDL_WINDOWS) path = SystemFolder(GetWindowsDirectoryW);
  if (path.empty() && csidl == CSIDL_SYSTEM) path = SystemFolder(GetSystemDirectoryW);
  return path;
}

UniqueItemIdList TShellLink::GetCodeToItemIdList(int csidl) const {
  UniqueItemIdList list;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.put()))) list.reset();
  return list;
}

bool TShellLink::ItemIdListFree(LPITEMIDLIST list) const {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
  if (list) allocator->Free(list);
  allocator->Release();
  return true;
}

std::string TShellLink::GetNameOrHandIcon(int csidl, UniqueHicon& icon, bool small) const {
  icon.reset();
  UniqueItemIdList list = GetCodeToItemIdList(csidl);
  if (!list) return "";
  SHFILEINFOW info{};
  const UINT flags = SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_ICON |
                     (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
  if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.get()), 0, &info, sizeof info, flags)) return "";
  icon.reset(info.hIcon);
  return Narrow(info.szDisplayName);
}

int TShellLink::GetLinkToPath(const std::string& link, std::string& target, HWND owner) const {
  target = link;
  std::string found;
  bool own_icon = false;
  const int result = ReadLinkTarget(link, found, own_icon, owner);
  // The shell may answer for a target that is gone: only an existing one counts.
  if (result == 0 && Attributes(found) != INVALID_FILE_ATTRIBUTES) target = found;
  return result;
}

int TShellLink::ReadLinkTarget(const std::string& link, std::string& path, bool& own_icon,
                               HWND owner) const {
  path.clear();
  own_icon = false;
  ComScope com;
  ComPtr<IShellLinkW> shell_link;
  HRESULT hr = LoadLink(link, shell_link);
  if (FAILED(hr)) return static_cast<int>(hr);
  // Asked before resolving: Wine's Resolve gives a shortcut without one its target's icon.
  std::wstring icon(kLongPath, L'\0');
  int index = 0;
  const bool has_icon =
      SUCCEEDED(shell_link->GetIconLocation(icon.data(), static_cast<int>(kLongPath), &index)) && icon[0] != L'\0';
  hr = ResolveLink(shell_link.get(), owner);
  if (FAILED(hr)) return static_cast<int>(hr);
  std::wstring buffer(kLongPath, L'\0');
  WIN32_FIND_DATAW find_data{};
  hr = shell_link->GetPath(buffer.data(), static_cast<int>(kLongPath), &find_data, SLGP_RAWPATH);
  if (FAILED(hr)) return static_cast<int>(hr);
  path = Narrow(ExpandEnvironment(buffer.c_str()));
  own_icon = has_icon;
  return 0;
}

UniqueItemIdList TShellLink::GetLinkToItemId(const std::string& link, HWND owner) const {
  ComScope com;
  ComPtr<IShellLinkW> shell_link;
  UniqueItemIdList list;
  if (FAILED(OpenResolvedLink(link, owner, shell_link)) || FAILED(shell_link->GetIDList(list.put()))) {
    list.reset();
  }
  return list;
}

bool TShellLink::GetLinkFields(const std::string& link, std::string& path,
                               std::string& arguments) const {
  path.clear();
  arguments.clear();
  ComScope com;
  ComPtr<IShellLinkW> shell_link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shell_link.put_void())))
    return false;
  ComPtr<IPersistFile> file = shell_link.query<IPersistFile>();
  if (!file || FAILED(file->Load(Wide(link).c_str(), STGM_READ))) return false;
  std::wstring buffer(kLongPath, L'\0');
  WIN32_FIND_DATAW find_data{};
  if (SUCCEEDED(shell_link->GetPath(buffer.data(), static_cast<int>(kLongPath), &find_data,
                                    SLGP_RAWPATH)))
    path = Narrow(ExpandEnvironment(buffer.c_str()));
  std::fill(buffer.begin(), buffer.end(), L'\0');
  if (SUCCEEDED(shell_link->GetArguments(buffer.data(), static_cast<int>(kLongPath))))
    arguments = Narrow(buffer.c_str());
  return true;
}

bool TShellLink::GetBytesTarget(std::string_view bytes, std::string& path, UniqueItemIdList& item) const {
  path.clear();
  item.reset();
  ComScope com;
  ComPtr<IShellLinkW> shell_link;
  if (bytes.size() > 0xFFFFFFFFu ||
      FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shell_link.put_void())))
    return false;
  ComPtr<IPersistStream> persist = shell_link.query<IPersistStream>();
  ComPtr<IStream> stream;
  *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  if (!persist || !stream || FAILED(persist->Load(stream.get()))) return false;
  std::wstring buffer(kLongPath, L'\0');
  WIN32_FIND_DATAW find_data{};
  if (SUCCEEDED(shell_link->GetPath(buffer.data(), static_cast<int>(kLongPath), &find_data, SLGP_RAWPATH)))
    path = Narrow(ExpandEnvironment(buffer.c_str()));
  if (FAILED(shell_link->GetIDList(item.put()))) item.reset();
  return true;
}

std::string TShellLink::CreateLink(const std::string& target, LPCITEMIDLIST item, int csidl,
                                   const std::string& name, bool overwrite) {
  return CreateLink2(target, item, GetPath(csidl), name, overwrite);
}

std::string TShellLink::CreateLink2(const std::string& target, LPCITEMIDLIST item,
                                    const std::string& folder, const std::string& name, bool overwrite) {
  const LinkRequest request{name, target, item != nullptr, folder, overwrite, false};
  const std::optional<LinkPlan> plan =
      PlanLink(RealFileSystem(), request, [item] { return DescribeItem(item); });
  if (!plan) return "";

  ComScope com;
  ComPtr<IShellLinkW> shell_link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shell_link.put_void()))) {
    return "";
  }
  HRESULT hr = target.empty() ? shell_link->SetIDList(item) : shell_link->SetPath(Wide(target).c_str());
  if (SUCCEEDED(hr)) hr = shell_link->SetDescription(L"");
  ComPtr<IPersistFile> file = shell_link.query<IPersistFile>();
  if (SUCCEEDED(hr) && file) {
    // A shortcut written over one a row's look-up is reading waits for the look-up.
    RetryWhileShared([&] {
      hr = file->Save(Wide(plan->path).c_str(), TRUE);
      SetLastError(HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : ERROR_SUCCESS);
      return SUCCEEDED(hr);
    });
  }
  return SUCCEEDED(hr) && file ? plan->path : "";
}

bool TShellLink::LinkNameTaken(const std::string& target, LPCITEMIDLIST item, const std::string& folder,
                               const std::string& name) const {
  const LinkRequest request{name, target, item != nullptr, folder, false, true};
  return ProbeAnswer(PlanLink(RealFileSystem(), request, [item] { return DescribeItem(item); })) ==
         LinkNameProbe::kTaken;
}

bool TShellLink::ChkLink(const std::string& target, LPCITEMIDLIST item, const std::string& name,
                         int csidl) const {
  const std::string folder = GetPath(csidl);
  return LinkNameTaken(target, item, folder, "") || (!name.empty() && LinkNameTaken(target, item, folder, name));
}

bool TShellLink::ChkLinkOrDel(const std::string& target, const std::string& name, int csidl, bool del) const {
  return ChkLinkFileOrDel(GetPath(csidl), name, target, del);
}

bool TShellLink::ChkLinkFileOrDel(const std::string& folder, const std::string& name, const std::string& target,
                                  bool del) const {
  // An unknown folder must not turn into the current drive's root.
  if (folder.empty()) return false;
  const std::string base = JoinPath(folder, "");
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle find(FindFirstFileW(FileApiPath(base + "*.*").c_str(), &entry));
  if (!find) return false;
  bool found = false;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      const std::string file_name = Narrow(entry.cFileName);
      const std::string path = base + file_name;
      bool match = !name.empty() && file_name.find(name) != std::string::npos;
      if (!match && !target.empty()) {
        std::string resolved;
        GetLinkToPath(path, resolved, nullptr);
        // A file that resolves only to itself is no shortcut to the target, even when it
        // is the target.
        match = resolved != path && resolved == target;
      }
      if (match) {
        if (del) DeleteFileW(FileApiPath(path).c_str());
        found = true;
      }
    }
    ProcessPendingMessages();
  } while (FindNextFileW(find.get(), &entry));
  return found;
}

void TShellLink::DeleteLink(int csidl, const std::string& name, const std::string& alternative) {
  for (const std::string& file : DeleteLinkCandidates(GetPath(csidl), name, alternative)) {
    if (DeleteFileW(FileApiPath(file).c_str())) return;
  }
}

std::string TShellLink::PathToSetKugiriMog(const std::string& path) const {
  return orvela::PathToSetKugiriMog(RealFileSystem(), path);
}

std::string TShellLink::FileMogChk(const std::string& name) const { return orvela::FileMogChk(name); }

void TShellLink::MogChange(std::string& text, const std::string& from, const std::string& to) const {
  orvela::MogChange(text, from, to);
}

}  // namespace orvela
