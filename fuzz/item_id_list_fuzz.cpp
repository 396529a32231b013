// Feeds arbitrary bytes to the item id list readers: as a raw list (which must never be
// read past its buffer) and as stored hex text, whose accepted lists must write back to
// the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "components/item_id_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  if (const auto used = ItemIdListSize(data, size); used && *used + 2 > size) std::abort();

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto list = HexToItemIdList(text);
  if (!list) return 0;
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  if (ItemIdListToHex(list->data(), list->size()) != upper) std::abort();
  return 0;
}
