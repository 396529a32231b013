#include "common/line_list_file.h"

#include "common/settings.h"
#include "platform/ansi_codec.h"
#include "platform/file_io.h"

namespace orvela {

LineListLoad LoadLineList(const std::string& path) {
  LineListLoad result;
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return result;
  if (auto text = DecodeFileText(*bytes)) {
    result.lines = SplitLines(*text);
    return result;
  }
  // Not text of the code page (edited by hand elsewhere?): keep the file as it is under
  // another name, and take every line that can be read.
  result.damaged = true;
  const std::string copy = path + ".unreadable";
  if (WriteWholeFileReplacing(copy, *bytes)) result.kept_copy = copy;
  for (const std::string& raw : SplitLines(*bytes))
    if (auto line = AnsiToUtf8(raw)) result.lines.push_back(*line);
  return result;
}

bool SaveLineList(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return WriteWholeFileReplacing(path, EncodeFileText(text));
}

}  // namespace orvela
