#include "platform/plain_text.h"

namespace orvela {

bool IsBlank(char c, Blanks blanks) {
  switch (blanks) {
    case Blanks::kSpaces: return c == ' ';
    case Blanks::kSpacesAndTabs: return c == ' ' || c == '\t';
    case Blanks::kSpacesAndControls: return static_cast<unsigned char>(c) <= ' ';
  }
  return false;
}

std::string_view TrimEnd(std::string_view text, Blanks blanks) {
  while (!text.empty() && IsBlank(text.back(), blanks)) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text, Blanks blanks) {
  while (!text.empty() && IsBlank(text.front(), blanks)) text.remove_prefix(1);
  return TrimEnd(text, blanks);
}

std::vector<std::string> SplitFileLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> SplitLinesAtAnyBreak(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

std::string_view ExtensionOf(std::string_view path) {
  const size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string_view::npos || path[dot] != '.') return {};
  return path.substr(dot);
}

}  // namespace orvela
