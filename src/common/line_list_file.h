// The Disabled Box files: whole lists of lines in the ANSI code page (UTF-8 with a
// byte-order mark when a line cannot be held by it), one line per entry, CR LF.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace orvela {

struct LineListLoad {
  std::vector<std::string> lines;
  // The file held bytes that are no text of the code page: those lines could not be taken.
  // The file is then copied to kept_copy first; when even that fails, the caller must not
  // write the list back over the only copy.
  bool damaged = false;
  std::optional<std::string> kept_copy;
};

// A missing file gives an empty list.
LineListLoad LoadLineList(const std::string& path);
// Writes the whole list, replacing the file in one step; false when it could not.
bool SaveLineList(const std::string& path, const std::vector<std::string>& lines);

}  // namespace orvela
