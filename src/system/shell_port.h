// What the pages' changes ask of the shell and the file system, as a port: the Win32 side
// is Win32ShellPort (system/shell_port_win.h), tests of the portable logic use a fake.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

namespace orvela {

// What a shortcut points to: a file-system path, or (path empty) a shell item given by its
// item id list bytes with the two-zero terminator.
struct ShortcutTarget {
  std::string path;
  std::vector<std::uint8_t> item_id_list;
};

// What a shortcut file holds as it was written: its target path (which need not exist, a
// network path out of reach say) and its arguments.
struct LinkFields {
  std::string path;
  std::string arguments;
};

class ShellPort {
 public:
  virtual ~ShellPort() = default;
  // A shortcut's target when that exists, otherwise the shortcut's own path.
  virtual std::string ResolveLink(const std::string& link) = 0;
  // The shortcut's target item id list (with its terminator); nullopt when the file is no
  // shortcut or has none.
  virtual std::optional<std::vector<std::uint8_t>> LinkTargetItemIdList(
      const std::string& link) = 0;
  // The shortcut's fields as stored, nothing resolved; nullopt when the file is no shortcut.
  virtual std::optional<LinkFields> ReadLinkFields(const std::string& link) = 0;
  // Writes a shortcut into the folder (made when missing), named `name` with the
  // characters a file name cannot hold replaced. A taken name gets a number: nothing is
  // overwritten. The shortcut's path, "" when none could be made (the target path does
  // not exist, the item is unknown, the folder cannot be written).
  virtual std::string CreateShortcut(const ShortcutTarget& target, const std::string& folder,
                                     const std::string& name) = 0;
  // The shell's Startup folder of the current user, or of all users.
  virtual std::string StartupFolder(bool all_users) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // True when the file is gone afterwards.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Copies a file to a path that must not exist yet (its folder is made when missing).
  virtual bool CopyFileTo(const std::string& from, const std::string& to) = 0;
  // A file's bytes; nullopt when it cannot be read.
  virtual std::optional<std::string> ReadFileBytes(const std::string& path) = 0;
  // Writes a file whole (its folder made when missing): a new one that must not exist yet,
  // or with `replace` in the place of the one there, in one step.
  virtual bool WriteFileBytes(const std::string& path, std::string_view bytes, bool replace) = 0;
  // A file's attributes and last-write time, and setting them (see platform/file_io.h).
  virtual std::optional<FileMetadata> FileMetadataOf(const std::string& path) = 0;
  virtual bool SetFileMetadata(const std::string& path, const FileMetadata& metadata) = 0;
  // What a shortcut's bytes point to, nothing resolved: the target path as stored (%NAME%
  // expanded) and the target item id list, either empty when it has none. nullopt when
  // the bytes are no shortcut.
  virtual std::optional<ShortcutTarget> ShortcutTargetOf(std::string_view bytes) = 0;
};

}  // namespace orvela
