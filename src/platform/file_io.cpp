#include "platform/file_io.h"

namespace orvela {

bool IsPlainFileName(std::string_view name) {
  if (name.find_first_not_of(". ") == std::string_view::npos) return false;  // also empty
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  }
  return true;
}

std::optional<std::string> PathInFolder(std::string_view folder, std::string_view name) {
  if (folder.empty() || !IsPlainFileName(name)) return std::nullopt;
  const size_t last = folder.find_last_of("\\/");
  const char separator = last == std::string_view::npos ? '\\' : folder[last];
  std::string path(folder);
  if (!path.empty() && path.back() != separator) path += separator;
  return path + std::string(name);
}

std::string TemporaryPathFor(std::string_view path) {
  // The last character, however many bytes of UTF-8 it takes.
  size_t last = path.size();
  while (last > 0 && (static_cast<unsigned char>(path[last - 1]) & 0xC0) == 0x80) --last;
  if (last > 0) --last;
  return std::string(path.substr(0, last)) + (path.substr(last) == "~" ? "_" : "~");
}

}  // namespace orvela
