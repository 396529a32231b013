#include <algorithm>

#include "platform/registry_backend.h"
#include "platform/utf.h"

namespace orvela {
namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);  // Latin-1
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width a-z
  return c;
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
  const std::u16string wa = Utf8ToUtf16(a), wb = Utf8ToUtf16(b);
  return std::equal(wa.begin(), wa.end(), wb.begin(), wb.end(),
                    [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

bool IsKeyOrBelow(std::string_view key, std::string_view top) {
  return key.size() >= top.size() && SameRegistryName(key.substr(0, top.size()), top) &&
         (key.size() == top.size() || key[top.size()] == '\\');
}

}  // namespace orvela
