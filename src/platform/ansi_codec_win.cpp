// The ANSI code page of the running system, through the code page functions.
#include <windows.h>

#include "platform/ansi_codec.h"
#include "platform/utf.h"

namespace orvela {

std::optional<std::string> AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return std::string();
  const int size = static_cast<int>(ansi.size());
  int wide_size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size, nullptr, 0);
  if (wide_size <= 0) return std::nullopt;
  std::u16string wide(static_cast<size_t>(wide_size), u'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), size,
                      reinterpret_cast<wchar_t*>(wide.data()), wide_size);
  return Utf16ToUtf8(wide);
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  const std::u16string wide = Utf8ToUtf16(utf8);
  const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
  const int wide_size = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, wide_size, nullptr, 0, nullptr,
                                 &used_default);
  if (size <= 0 || used_default) return std::nullopt;
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, wide_size, ansi.data(), size, nullptr,
                      &used_default);
  // Some characters share a byte form with another one (code page 932 has duplicates);
  // only a form that decodes back to the same text counts.
  if (used_default || AnsiToUtf8(ansi) != std::string(utf8)) return std::nullopt;
  return ansi;
}

}  // namespace orvela
