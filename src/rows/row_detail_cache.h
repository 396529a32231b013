// What list rows show of the files they name (icon, version texts, a shortcut's target),
// kept for the program's run and keyed by path, last-write time and size: a refill reads
// its sources afresh but asks the shell and the files again only for files that changed.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "system/version_texts.h"

namespace orvela {

struct FileStamp {
  uint64_t write_time = 0;  // as the file system gives it; only compared
  uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

// Port: the stamp of a file or folder as it is now; nullopt when there is none.
class FileStamps {
 public:
  virtual ~FileStamps() = default;
  virtual std::optional<FileStamp> StampOf(const std::string& path) const = 0;
};

// A shortcut as read from its file.
struct LinkTarget {
  std::string path;       // the stored target, environment references expanded; empty when unreadable
  bool own_icon = false;  // the shortcut names an icon of its own
};

// Each part is filled the first time a row asks for it.
struct FileDetails {
  std::optional<std::uint64_t> picture;  // the run's row picture (RowPictures); 0 when the shell has none
  std::optional<VersionTexts> version;  // empty texts when the file has no version information
  std::optional<LinkTarget> link;
};

// The stamps are read by the caller, away from the cache: several threads ask it, and one
// stuck on a drive must not keep the others waiting for the cache.
class RowDetailCache {
 public:
  // What is kept of the file as it is now (`stamp`). A file whose time or size changed starts
  // again with nothing known; a file that is gone (no stamp) has its details dropped.
  FileDetails Find(const std::string& path, const std::optional<FileStamp>& stamp);
  // Adds the parts `learnt` has to what is kept of the file, as long as it still has the
  // stamp they were read with (a look-up of the changed file may have come first).
  void Keep(const std::string& path, const FileStamp& stamp, const FileDetails& learnt);
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    FileStamp stamp;
    FileDetails details;
  };
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace orvela
