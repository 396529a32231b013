#include "system/program_lookup_win.h"

#include <windows.h>

#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "platform/wide_win.h"

namespace orvela {

Win32ProgramLookup::Win32ProgramLookup(
    std::function<std::string(const std::string&)> resolve_link)
    : resolve_link_(std::move(resolve_link)) {}

Win32ProgramLookup LookupThroughLinks(const TShellLink& links) {
  return Win32ProgramLookup([&links](const std::string& link) {
    std::string target;
    links.GetLinkToPath(link, target, nullptr);
    return target;
  });
}

PathKind Win32ProgramLookup::KindOf(const std::string& path) const {
  if (FileExists(path)) return PathKind::kFile;
  return FolderExists(path) ? PathKind::kFolder : PathKind::kNone;
}

DriveKind Win32ProgramLookup::DriveKindOf(const std::string& path) const {
  // The drive is in the first three characters; "A:x" names drive A too.
  std::wstring root = Wide(path).substr(0, 3);
  if (root.size() >= 2 && root[1] == L':') root = root.substr(0, 2) + L"\\";
  switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_REMOVABLE:
      return DriveKind::kRemovable;
    case DRIVE_CDROM:
      return DriveKind::kCdRom;
    default:
      return DriveKind::kOther;
  }
}

std::string Win32ProgramLookup::SystemFolder() const {
  wchar_t buffer[MAX_PATH];
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return Narrow(std::wstring_view(buffer, length));
}

std::string Win32ProgramLookup::ResolveLink(const std::string& link_path) const {
  return resolve_link_ ? resolve_link_(link_path) : link_path;
}

bool Win32ProgramLookup::AbsentFromFixedDrive(const std::string& path) const {
  const std::wstring wide = Wide(path);
  if (wide.size() < 4 || wide[1] != L':' || wide[2] != L'\\') return false;
  if (GetDriveTypeW(wide.substr(0, 3).c_str()) != DRIVE_FIXED) return false;
  DWORD old_mode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_mode);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const DWORD error = GetLastError();
  SetThreadErrorMode(old_mode, nullptr);
  return attributes == INVALID_FILE_ATTRIBUTES && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
}

std::string Win32ProgramLookup::ExpandVariables(const std::string& text) const {
  return ExpandEnvironmentText(text);
}

std::string ExpandEnvironmentText(const std::string& text) {
  if (text.find('%') == std::string::npos) return text;
  const std::wstring wide = Wide(text);
  const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::wstring expanded(size, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), size);
  if (written == 0 || written > size) return text;
  expanded.resize(written - 1);  // the count includes the terminating zero
  return Narrow(expanded);
}

}  // namespace orvela
