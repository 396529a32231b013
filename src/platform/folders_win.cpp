#include "platform/folders_win.h"

#include <windows.h>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

DWORD AttributesOf(const std::string& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Wide(path).c_str());
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = AttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = AttributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool CreateFolderTree(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  if (p.empty() || FolderExists(p)) return !p.empty();
  const size_t slash = p.rfind('\\');
  if (slash != std::string::npos && slash > 2) CreateFolderTree(p.substr(0, slash));
  CreateDirectoryW(Wide(p).c_str(), nullptr);
  return FolderExists(p);
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW(Wide(folder + "*.*").c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring_view name = data.cFileName;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
      names.push_back(Narrow(name));
  } while (FindNextFileW(find.get(), &data));
  return names;
}

std::string ExecutableFolder() {
  std::wstring path(32768, L'\0');
  const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(size);
  const size_t slash = path.find_last_of(L'\\');
  return Narrow(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

}  // namespace orvela
