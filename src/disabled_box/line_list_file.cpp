#include "disabled_box/line_list_file.h"

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/plain_text.h"
#include "platform/utf.h"

namespace orvela {
namespace {

// "startup.txt.unreadable", then "startup.txt.unreadable2", ...: an earlier copy is never
// written over, and the same bytes are not copied twice.
std::optional<std::string> KeepDamagedCopy(const std::string& path, const std::string& bytes) {
  for (int n = 1; n < 1000; ++n) {
    const std::string copy = path + ".unreadable" + (n == 1 ? "" : std::to_string(n));
    const FileRead earlier = ReadFileIfPresent(copy);
    if (earlier.status == FileRead::Status::kRead && earlier.bytes == bytes) return copy;
    if (earlier.status == FileRead::Status::kMissing) {
      if (WriteNewFile(copy, bytes)) return copy;
      if (ReadFileIfPresent(copy).status == FileRead::Status::kMissing) return std::nullopt;
    }
  }
  return std::nullopt;
}

// The lines that are text of the file's encoding, each on its own.
std::vector<std::string> ReadableLines(std::string_view bytes) {
  std::vector<std::string> lines;
  const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (utf8) bytes.remove_prefix(kUtf8Bom.size());
  // A trail byte of code page 932 is never CR or LF: the raw bytes split where the text does.
  for (const std::string& raw : SplitFileLines(bytes)) {
    if (utf8) {
      if (IsValidUtf8(raw)) lines.push_back(raw);
    } else if (auto line = AnsiToUtf8(raw)) {
      lines.push_back(*line);
    }
  }
  return lines;
}

}  // namespace

LineListLoad LoadLineList(const std::string& path) {
  LineListLoad result;
  const FileRead read = ReadFileIfPresent(path);
  if (read.status == FileRead::Status::kMissing) return result;
  if (read.status == FileRead::Status::kUnreadable) {
    result.status = LineListLoad::Status::kUnreadable;
    return result;
  }
  if (auto text = DecodeFileText(read.bytes)) {
    result.status = LineListLoad::Status::kRead;
    result.lines = SplitFileLines(*text);
    return result;
  }
  result.status = LineListLoad::Status::kDamaged;
  result.lines = ReadableLines(read.bytes);
  result.damaged_copy = KeepDamagedCopy(path, read.bytes);
  return result;
}

bool SaveLineList(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return WriteWholeFileReplacing(path, EncodeFileText(text));
}

}  // namespace orvela
