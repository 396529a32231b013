// Feeds arbitrary bytes to the reader of the kept shortcut targets (a file beside the
// program that anything may have damaged): it reads without fault, and a store none of whose
// shortcuts was asked for writes back no shortcut.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "recent/link_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  using orvela::LinkTargets;
  LinkTargets read = LinkTargets::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
  const LinkTargets again = LinkTargets::FromText(read.Text());
  if (again.size() != 0) std::abort();  // nothing was asked for: nothing is written back
  return 0;
}
