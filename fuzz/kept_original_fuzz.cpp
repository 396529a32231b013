// Feeds arbitrary bytes to the kept item reader. An item it accepts is written back to
// bytes that read as the same item, its payload is exactly as long as it says, and a file
// name it accepts stays inside any folder it is joined to.
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
  Check(again->line == item->line && again->kind == item->kind && again->file_name == item->file_name &&
        again->bytes == item->bytes && again->metadata == item->metadata && again->value == item->value);
  const std::string_view payload =
      item->kind == KeptKind::kValue
          ? std::string_view(reinterpret_cast<const char*>(item->value.data.data()), item->value.data.size())
          : std::string_view(item->bytes);
  Check(bytes.ends_with(payload));
  if (item->kind == KeptKind::kFile) {
    const std::optional<std::string> path = PathInFolder("C:\\SendTo", item->file_name);
    Check(path && path->find_first_of("/:", 2) == std::string::npos && path->rfind('\\') == 9);
  }
  return 0;
}
