// The native build has no Windows code page functions: glibc's iconv gives the same
// code page 932, so the portable tests run on real CP932 bytes.
#include <iconv.h>

#include <cerrno>

#include "platform/ansi_codec.h"

namespace orvela {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::string buffer(in);
  char* in_ptr = buffer.data();
  size_t in_left = buffer.size();
  char chunk[4096];
  bool ok = true;
  while (in_left > 0) {
    char* out_ptr = chunk;
    size_t out_left = sizeof chunk;
    size_t r = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(chunk, sizeof chunk - out_left);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) { ok = false; break; }
    if (r != static_cast<size_t>(-1) && r > 0) { ok = false; break; }  // irreversible conversion
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> AnsiToUtf8(std::string_view ansi) {
  return Convert("UTF-8", "CP932", ansi);
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  auto ansi = Convert("CP932", "UTF-8", utf8);
  if (!ansi || AnsiToUtf8(*ansi) != std::string(utf8)) return std::nullopt;
  return ansi;
}

}  // namespace orvela
