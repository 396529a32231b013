// Files kept under tests/ ("fixtures/boxes/x.txt", "regfile/fixtures/x.reg"), found from
// this header's own path (the source tree; under Wine through drive Z:).
#pragma once
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace orvela::testing {

inline std::string FixturePathOf(std::string_view name) {
  std::string path = __FILE__;
  path = path.substr(0, path.find_last_of("/\\") + 1) + std::string(name);
#ifdef _WIN32
  path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

inline std::string FixtureBytes(std::string_view name) {
  const std::optional<std::string> bytes = ReadWholeFile(FixturePathOf(name));
  return bytes.value_or("");
}

}  // namespace orvela::testing
