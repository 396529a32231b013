#include "system/registry_value_text.h"

#include <cstdint>

#include "platform/utf.h"

namespace orvela {
namespace {

// UTF-16LE bytes up to the first terminating zero; an odd last byte is dropped.
std::u16string Utf16Units(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    units.push_back(unit);
  }
  return units;
}

std::string StringData(std::string_view bytes) {
  std::u16string units = Utf16Units(bytes);
  const size_t end = units.find(u'\0');
  if (end != std::u16string::npos) units.resize(end);
  return Utf16ToUtf8(units);
}

std::string MultiStringData(std::string_view bytes) {
  const std::u16string units = Utf16Units(bytes);
  std::string joined;
  size_t start = 0;
  while (start < units.size()) {
    size_t end = units.find(u'\0', start);
    if (end == std::u16string::npos) end = units.size();
    if (end == start) break;  // the empty item ends the list
    if (!joined.empty()) joined += ' ';
    joined += Utf16ToUtf8(std::u16string_view(units).substr(start, end - start));
    start = end + 1;
  }
  return joined;
}

uint64_t LittleEndian(std::string_view bytes) {
  uint64_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::string HexBytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

}  // namespace

std::string RunValueText(const RegistryValue& value) {
  const std::string_view data(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
      return StringData(data);
    case kRegMultiSz:
      return MultiStringData(data);
    case kRegDword:
      if (data.size() == 4) return std::to_string(LittleEndian(data));
      break;
    case kRegQword:
      if (data.size() == 8) return std::to_string(LittleEndian(data));
      break;
    case kRegDwordBigEndian:
      if (data.size() == 4) {
        const std::string reversed(data.rbegin(), data.rend());
        return std::to_string(LittleEndian(reversed));
      }
      break;
    default:
      break;
  }
  return HexBytes(data);
}

}  // namespace orvela
