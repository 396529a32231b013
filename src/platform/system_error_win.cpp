#include <windows.h>

#include <algorithm>

#include "platform/system_error.h"
#include "platform/wide_win.h"

namespace orvela {

std::optional<std::string> SystemJapaneseMessage(SystemError code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
      MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || !buffer) return std::nullopt;
  std::wstring text(buffer, length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  // A system without Japanese messages may answer in English all the same: only Japanese
  // text reaches the user.
  const bool japanese = std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x3000; });
  if (!japanese) return std::nullopt;
  return Narrow(text);
}

}  // namespace orvela
