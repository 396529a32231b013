// Reads a shortcut file (.lnk) straight from its bytes: the stored target path and the
// string fields, without the shell link object and without touching the target. Only
// what the file states plainly is answered; everything else is left to the shell link
// object, which the caller falls back to.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

struct LinkFile {
  // The target path as the shell link object's raw GetPath gives it: environment
  // references (%SystemRoot%) stay unexpanded. Never empty.
  std::string target;
  // The string fields as stored ("" when absent).
  std::string arguments;
  std::string working_folder;
  std::string icon_location;
};

// The target comes from the expandable path the shell keeps beside the link information
// when the shortcut says it has one, else from the link information: the local base path
// and the common path suffix (their Unicode forms when present), or the network share's
// name and the suffix. ANSI text is read in the system's code page.
//
// nullopt ("not handled": ask the shell link object) for a file that is not a shortcut,
// cut, damaged or out of its own bounds in any size or offset; for a target with no
// file-system path in the link information (a shell item such as the computer or the
// control panel, or a path stored only relative to the shortcut); for a mapped drive
// (the shell decides between the drive and the share); for an ANSI path whose characters
// were lost ("?") when it was written; for an installer-advertised shortcut and for
// header or link-information flags this reader does not know.
std::optional<LinkFile> ReadLinkFile(std::string_view bytes);

// The same of a shortcut file on disk; nullopt also when it cannot be read or is larger than
// any shortcut the shell writes (the shell link object may still make sense of it).
std::optional<LinkFile> ReadLinkFileAt(const std::string& path);

}  // namespace orvela
