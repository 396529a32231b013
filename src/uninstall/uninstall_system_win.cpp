#include "uninstall/uninstall_system_win.h"

#include <windows.h>

#include <cstdio>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

int Compare(std::string_view a, std::string_view b, DWORD flags) {
  const std::wstring wa = Wide(a), wb = Wide(b);
  return CompareStringW(LOCALE_USER_DEFAULT, flags, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                        static_cast<int>(wb.size())) -
         CSTR_EQUAL;
}

}  // namespace

std::string Win32UninstallSystem::FileDateText(const std::string& path) const {
  if (path.empty()) return {};
  // Backup semantics open folders too.
  UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return {};
  FILETIME created{}, local{};
  SYSTEMTIME time{};
  if (!GetFileTime(file.get(), &created, nullptr, nullptr) || !FileTimeToLocalFileTime(&created, &local) ||
      !FileTimeToSystemTime(&local, &time))
    return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04u/%02u/%02u", time.wYear, time.wMonth, time.wDay);
  return text;
}

int Win32UninstallSystem::CompareText(std::string_view a, std::string_view b) const { return Compare(a, b, 0); }

int Win32UninstallSystem::CompareTextIgnoringCase(std::string_view a, std::string_view b) const {
  return Compare(a, b, NORM_IGNORECASE);
}

std::string Win32UninstallSystem::LowerCase(std::string_view text) const {
  std::wstring wide = Wide(text);
  if (wide.empty()) return {};
  const int length = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, wide.c_str(), static_cast<int>(wide.size()),
                                  nullptr, 0);
  if (length <= 0) return std::string(text);
  std::wstring lower(static_cast<size_t>(length), L'\0');
  LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, wide.c_str(), static_cast<int>(wide.size()), lower.data(),
               length);
  return Narrow(lower);
}

}  // namespace orvela
