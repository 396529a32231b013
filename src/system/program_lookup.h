// What finding an entry's program asks of the system, as a port: the Win32 side is
// Win32ProgramLookup (system/program_lookup_win.h), tests use a fake.
#pragma once
#include <string>

namespace orvela {

enum class PathKind { kNone, kFile, kFolder };
enum class DriveKind { kOther, kRemovable, kCdRom };

class ProgramLookup {
 public:
  virtual ~ProgramLookup() = default;
  virtual PathKind KindOf(const std::string& path) const = 0;
  virtual DriveKind DriveKindOf(const std::string& path) const = 0;
  // Without a trailing backslash.
  virtual std::string SystemFolder() const = 0;
  // A shortcut's target when that exists, otherwise the shortcut's own path.
  virtual std::string ResolveLink(const std::string& link_path) const = 0;
  // %NAME% references replaced by the environment; the text unchanged when there are none.
  virtual std::string ExpandVariables(const std::string& text) const = 0;
  // Whether "X:\..." names nothing on a local fixed drive, as the drive itself says (the
  // file or its folder not found). False for every other path and drive (network, removable,
  // optical, unready, no drive) and when the look-up fails otherwise: those are never
  // tested, as they could keep the look-up waiting or ask for a disc.
  virtual bool AbsentFromFixedDrive(const std::string& path) const {
    (void)path;
    return false;
  }
};

}  // namespace orvela
