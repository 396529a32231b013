// From an entry's command line to the program it starts, and whether that can be found.
#pragma once
#include <string>
#include <string_view>

#include "system/program_lookup.h"

namespace orvela {

// Every occurrence of pattern replaced, left to right without overlap. A match starts
// and ends on character boundaries only, so a pattern never matches inside a character.
// An empty pattern leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

// The program part of a command line: quotes removed, cut after the first ".exe" (or
// ".dll"), else everything from the first "/" dropped and the rest trimmed.
std::string ProgramPathOf(std::string_view command);

struct ResolvedTarget {
  std::string program;   // the program path as looked up (environment references expanded)
  std::string target;    // the file to take the icon and version information from
  bool missing = false;  // the program was not found
};

// A shortcut leads to its target (missing when that is gone); a name without a drive is
// looked for in the system folder (missing when found nowhere). A path with a drive is
// taken as it is, and missing when a local fixed drive says it is not there
// (AbsentFromFixedDrive): a Run value an uninstalled program left behind must not look
// sound.
ResolvedTarget ResolveTarget(const std::string& program, const ProgramLookup& system);

}  // namespace orvela
