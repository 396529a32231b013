#include "platform/ansi_codec.h"

#include "platform/utf.h"

namespace orvela {

std::string EncodeFileText(std::string_view utf8) {
  if (auto ansi = Utf8ToAnsi(utf8)) return *ansi;
  return std::string(kUtf8Bom) + std::string(utf8);
}

std::optional<std::string> DecodeFileText(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
    if (!IsValidUtf8(bytes)) return std::nullopt;
    return std::string(bytes);
  }
  return AnsiToUtf8(bytes);
}

}  // namespace orvela
