// Feeds arbitrary bytes to the kept item reader. An item it accepts is written back to
// bytes that read as the same item, and its payload is exactly as long as it says.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/kept_originals.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<KeptOriginal> item = ParseKeptItem(bytes);
  if (!item) return 0;
  const std::optional<KeptOriginal> again = ParseKeptItem(FormatKeptItem(*item));
  Check(again.has_value());
  Check(again->line == item->line && again->is_file == item->is_file &&
        again->file_name == item->file_name && again->bytes == item->bytes &&
        again->value == item->value);
  Check(bytes.ends_with(item->is_file ? item->bytes
                                      : std::string_view(reinterpret_cast<const char*>(
                                                             item->value.data.data()),
                                                         item->value.data.size())));
  return 0;
}
