// Feeds arbitrary bytes to the shortcut reader, which must never read past them. What it
// accepts has a target, well-formed UTF-8, and stays the same with bytes after the end mark.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "components/link_file.h"
#include "platform/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<LinkFile> link = ReadLinkFile(bytes);
  if (!link) return 0;
  const std::optional<LinkFile> longer = ReadLinkFile(bytes + "\x7F\xFF\xFF\xFF");
  if (link->target.empty() || !IsValidUtf8(link->target + link->arguments + link->working_folder) ||
      !IsValidUtf8(link->icon_location) || !longer || longer->target != link->target)
    std::abort();
  return 0;
}
