#include "system/entry_folder.h"

#include <algorithm>
#include <cctype>

#include "system/command_line.h"

namespace orvela {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWithLnk(const std::string& path) {
  return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == ".lnk";
}

}  // namespace

std::vector<std::string> QuotedPieces(std::string_view command) {
  std::vector<std::string> pieces;
  size_t pos = 0;
  while (true) {
    const size_t open = command.find('"', pos);
    if (open == std::string_view::npos) break;
    const size_t close = command.find('"', open + 1);
    if (close == std::string_view::npos) break;
    pieces.emplace_back(command.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return pieces;
}

std::string EntryFolderOf(std::string_view command, const ProgramLookup& system) {
  std::string path = ProgramPathOf(command);
  const std::vector<std::string> pieces = QuotedPieces(command);
  if (!pieces.empty()) {
    path = pieces.back();
    for (const std::string& piece : pieces) {
      if (Lower(piece).find("uninstall") != std::string::npos) {
        path = piece;
        break;
      }
    }
  }
  // "%SystemRoot%\x.exe" names a folder that exists, as the missing-program test finds.
  if (path.find('%') != std::string::npos) path = system.ExpandVariables(path);
  if (EndsWithLnk(path)) path = system.ResolveLink(path);
  if (!path.empty() && path.find(":\\") == std::string::npos && system.KindOf(path) == PathKind::kNone) {
    const DriveKind drive = system.DriveKindOf(path);
    if (drive != DriveKind::kRemovable && drive != DriveKind::kCdRom) path = system.SystemFolder() + "\\" + path;
  }
  const size_t cut = path.find_last_of("\\:");
  if (cut == std::string::npos) return {};
  // "C:\tool.exe" -> "C:\"; "C:\Tools\tool.exe" -> "C:\Tools".
  if (cut == 2 && path[1] == ':') return path.substr(0, 3);
  if (path[cut] == ':') return path.substr(0, cut + 1);
  return path.substr(0, cut);
}

}  // namespace orvela
