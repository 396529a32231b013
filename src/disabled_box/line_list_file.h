// The Disabled Box files: whole lists of lines in the ANSI code page (UTF-8 with a
// byte-order mark when a line cannot be held by it), one line per entry, CR LF.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace orvela {

struct LineListLoad {
  enum class Status {
    kRead,        // every line was read
    kMissing,     // no file: an empty list
    kUnreadable,  // the file is there but could not be opened or read (locked, no rights)
    kDamaged,     // bytes that are no text of the file's encoding
  };
  Status status = Status::kMissing;
  // kRead: the lines. kDamaged: the lines that could be read, for showing only.
  std::vector<std::string> lines;
  // kDamaged: where a copy of the file's bytes is (an earlier copy of the same bytes, or a
  // new file beside the others); nullopt when none could be written.
  std::optional<std::string> damaged_copy;
};

LineListLoad LoadLineList(const std::string& path);
// Writes the whole list, replacing the file in one step; false when it could not.
bool SaveLineList(const std::string& path, const std::vector<std::string>& lines);

}  // namespace orvela
