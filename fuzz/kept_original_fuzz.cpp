// Feeds arbitrary bytes to the kept item reader. An item it accepts is written back to
// bytes that read as the same item, its payload is exactly as long as it says, and a file
// name it accepts stays inside any folder it is joined to. The same bytes, cut at line
// breaks, serve as box lines and as the kept folder's file names: a line is only ever paired
// with a name that is there and is a kept item.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/kept_originals.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  for (size_t start = 0; start <= bytes.size();) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  for (size_t row = 0; row < lines.size(); ++row) {
    const KeptPairing pairing = PairKeptItem(lines, row, lines);
    Check(pairing.status != KeptPairing::Status::kOwned ||
          (pairing.id.ends_with(".kept") && std::find(lines.begin(), lines.end(), pairing.id) != lines.end()));
  }
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
