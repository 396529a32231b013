#include "components/item_id_list.h"

namespace orvela {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::size_t> ItemIdListSize(const std::uint8_t* list, std::size_t buffer_length) {
  if (list == nullptr) return std::nullopt;
  std::size_t offset = 0;
  while (buffer_length - offset >= 2) {
    const std::size_t size = list[offset] | (std::size_t{list[offset + 1]} << 8);
    if (size == 0) return offset;
    if (size < 2 || size > buffer_length - offset) return std::nullopt;
    offset += size;
  }
  return std::nullopt;
}

std::optional<std::string> ItemIdListToHex(const std::uint8_t* list, std::size_t buffer_length) {
  const std::optional<std::size_t> size = ItemIdListSize(list, buffer_length);
  if (!size) return std::nullopt;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(*size * 2);
  for (std::size_t i = 0; i < *size; ++i) {
    hex += kDigits[list[i] >> 4];
    hex += kDigits[list[i] & 0x0F];
  }
  return hex;
}

std::optional<std::vector<std::uint8_t>> HexToItemIdList(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2 + 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  const std::size_t item_bytes = bytes.size();
  bytes.push_back(0);
  bytes.push_back(0);
  if (ItemIdListSize(bytes.data(), bytes.size()) != item_bytes) return std::nullopt;
  return bytes;
}

}  // namespace orvela
