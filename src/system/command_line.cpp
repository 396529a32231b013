#include "system/command_line.h"

#include <algorithm>
#include <cctype>

#include "platform/plain_text.h"

namespace orvela {
namespace {

// UTF-8 continuation bytes never start a character.
bool IsCharacterBoundary(std::string_view text, size_t pos) {
  return pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string result;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t found = text.find(pattern, pos);
    if (found == std::string_view::npos) break;
    if (!IsCharacterBoundary(text, found) || !IsCharacterBoundary(text, found + pattern.size())) {
      result.append(text.substr(pos, found + 1 - pos));
      pos = found + 1;
      continue;
    }
    result.append(text.substr(pos, found - pos));
    result.append(replacement);
    pos = found + pattern.size();
  }
  if (pos < text.size()) result.append(text.substr(pos));
  return result;
}

std::string ProgramPathOf(std::string_view command) {
  const std::string s = ReplaceAll(command, "\"", "");
  const std::string lower = AsciiLower(s);  // same byte positions as s
  size_t p = lower.find(".exe");
  if (p == std::string::npos) p = lower.find(".dll");
  if (p != std::string::npos) return s.substr(0, p + 4);
  const size_t slash = s.find('/');
  if (slash != std::string::npos) return std::string(Trim(std::string_view(s).substr(0, slash), Blanks::kSpacesAndControls));
  return s;
}

ResolvedTarget ResolveTarget(const std::string& program_path, const ProgramLookup& system) {
  ResolvedTarget result;
  // Run values of the expandable kind are shown as stored; look for the file they name.
  result.program = program_path.find('%') == std::string::npos
                       ? program_path
                       : system.ExpandVariables(program_path);
  const std::string& program = result.program;
  std::string target = program;

  if (ExtensionOf(target) == ".lnk") {
    target = system.ResolveLink(target);
    result.missing = target == program;
  }
  // A network path (\\server\share\...) is no name in the system folder, and is never
  // looked at: the network may keep the look-up waiting.
  const bool network_path = target.rfind("\\\\", 0) == 0;
  if (!target.empty() && !network_path && target.find(":\\") == std::string::npos &&
      system.KindOf(target) == PathKind::kNone) {
    const DriveKind drive = system.DriveKindOf(target);
    if (drive != DriveKind::kRemovable && drive != DriveKind::kCdRom)
      target = system.SystemFolder() + "\\" + target;
    result.missing = system.KindOf(target) != PathKind::kFile &&
                     system.KindOf(program) != PathKind::kFile;
  } else if (!result.missing && target.find(":\\") != std::string::npos) {
    result.missing = system.AbsentFromFixedDrive(target);
  }
  result.target = std::move(target);
  return result;
}

}  // namespace orvela
