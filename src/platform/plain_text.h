// Pieces of plain text many modules take apart the same way: trimmed ends, lines, a file
// name's extension.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// What a text's ends lose when trimmed; each reader keeps the blanks its texts have always
// had.
enum class Blanks {
  kSpaces,             // ' ' only
  kSpacesAndTabs,      // ' ' and '\t'
  kSpacesAndControls,  // ' ' and every control character (below ' ')
};

bool IsBlank(char c, Blanks blanks);
std::string_view Trim(std::string_view text, Blanks blanks);
std::string_view TrimEnd(std::string_view text, Blanks blanks);

// A file's lines: each ends in LF, with or without a CR before it; a CR elsewhere stays in its
// line. Text after the last LF is a line; a final LF starts none.
std::vector<std::string> SplitFileLines(std::string_view text);

// Lines of a value typed or stored by hand: CR LF, LF and CR alone each end a line. Text after
// the last break is a line; a final break starts none.
std::vector<std::string> SplitLinesAtAnyBreak(std::string_view text);

// From the last "." of the path's file name on (".Lnk"); empty when the name has none.
std::string_view ExtensionOf(std::string_view path);

}  // namespace orvela
