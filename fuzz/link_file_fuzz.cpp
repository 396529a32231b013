// Feeds arbitrary bytes to the shortcut reader, which must never read past them. What it
// accepts has a target and well-formed UTF-8 in every field, and bytes after the end mark
// change nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "components/link_file.h"
#include "platform/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<LinkFile> link = ReadLinkFile(bytes);
  if (!link) return 0;
  for (const std::string* field : {&link->target, &link->arguments, &link->working_folder, &link->icon_location}) {
    if (!IsValidUtf8(*field)) std::abort();
  }
  const std::optional<LinkFile> longer = ReadLinkFile(std::string(bytes) + "\x7F\xFF\xFF\xFF");
  if (link->target.empty() || !longer || longer->target != link->target || longer->arguments != link->arguments)
    std::abort();
  return 0;
}
