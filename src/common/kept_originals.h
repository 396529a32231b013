// Kept originals: beside every line of a Disabled Box, the exact thing it stood for, so
// enabling gives back what was there and not what the line can describe. A shortcut or
// other file is kept as its bytes and its file name; a Run value as its type and bytes.
//
// One folder per box (data\kept\startup\ for data\startup.txt), one file per kept item,
// named "<n>.kept" and never written over. A kept item file is
//
//   Orvela kept original 1<CR LF>
//   line=<the Disabled Box line, UTF-8><CR LF>
//   file=<the file name>   or   value=<the value type, decimal REG_* number><CR LF>
//   size=<byte count, decimal><CR LF>
//   <CR LF>
//   <exactly that many bytes: the file's bytes, or the value's data as the registry holds it>
//
// A kept item that is cut short or fits no form is not used (the line is enabled the way
// the design re-creates it) and is never deleted by the program.
//
// Use: Keep... before the original is removed (nothing is removed when it fails); Find
// the item of a line when enabling, and when its line is unchanged put back item.bytes
// under item.file_name (never over another file) or item.value; Drop the item once the
// line has left the box (enabled or deleted).
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace orvela {

struct KeptOriginal {
  std::string id;    // the kept item's file name in its folder, for Drop
  std::string line;  // the Disabled Box line it belongs to
  bool is_file = false;
  std::string file_name;  // a file: its name as it was ("Mail.lnk")
  std::string bytes;      // a file: its bytes
  RegistryValue value;    // a value: type and data
};

class KeptOriginals {
 public:
  explicit KeptOriginals(std::string folder) : folder_(std::move(folder)) {}
  const std::string& folder() const { return folder_; }

  // A new kept item for `line`, written whole beside the others; its id, or nullopt when
  // it could not be written (then nothing of it is left).
  std::optional<std::string> KeepFile(std::string_view line, std::string_view file_name,
                                      std::string_view bytes);
  std::optional<std::string> KeepValue(std::string_view line, const RegistryValue& value);

  // The kept item of a line: one whose recorded line is exactly `line` (the first found
  // when a line stands in the box twice). nullopt for lines of older files, hand-edited
  // lines and damaged kept items.
  std::optional<KeptOriginal> Find(std::string_view line) const;

  // Removes a kept item; true when it is gone.
  bool Drop(std::string_view id);

 private:
  std::optional<std::string> Keep(std::string_view item_bytes);
  std::string PathOf(std::string_view id) const;

  std::string folder_;
};

// The kept originals folder of a Disabled Box file: "...\data\startup.txt" keeps its
// items in "...\data\kept\startup".
std::string KeptFolderOf(std::string_view box_path);

// A kept item file and back (exposed for the tests and the fuzz target).
std::string FormatKeptItem(const KeptOriginal& item);
std::optional<KeptOriginal> ParseKeptItem(std::string_view bytes);

}  // namespace orvela
