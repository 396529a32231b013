// Kept item files as earlier versions wrote them ("<n>.kept" beside a Disabled Box), the
// way users have them, or a hand may make them.
#pragma once
#include <string>
#include <string_view>

#include "disabled_box/kept_originals.h"
#include "platform/file_io.h"

namespace orvela::testing {

// `kind` is "file=<name>" or "value=<type>"; `payload` the file's bytes or the value's data.
inline bool PutEarlierKeptItem(const std::string& box_path, int number, std::string_view line,
                               std::string_view kind, std::string_view payload) {
  const std::string folder = KeptFolderOf(box_path);
  const char separator = folder.find('\\') == std::string::npos ? '/' : '\\';
  return MakeFolderTree(folder) &&
         WriteWholeFileReplacing(folder + separator + std::to_string(number) + ".kept",
                                 "Orvela kept original 1\r\nline=" + std::string(line) + "\r\n" + std::string(kind) +
                                     "\r\nsize=" + std::to_string(payload.size()) + "\r\n\r\n" + std::string(payload));
}

}  // namespace orvela::testing
