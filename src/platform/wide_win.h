// The boundary to the W functions of Win32: UTF-8 in the program, UTF-16 outside.
#pragma once
#include <string>
#include <string_view>

#include "platform/utf.h"

namespace orvela {

inline std::wstring Wide(std::string_view utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace orvela
