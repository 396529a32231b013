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
  std::optional<int> picture;  // index among the run's row pictures; -1 when the shell has none
  std::optional<VersionTexts> version;  // empty texts when the file has no version information
  std::optional<LinkTarget> link;
};

class RowDetailCache {
 public:
  explicit RowDetailCache(const FileStamps& stamps) : stamps_(stamps) {}
  RowDetailCache(const RowDetailCache&) = delete;
  RowDetailCache& operator=(const RowDetailCache&) = delete;

  // The details kept for the file as it is now. A file whose time or size changed starts
  // again with nothing known; a file that is gone (or an empty path) gives nullptr and its
  // details are dropped. The pointer stays valid until the file is found gone.
  FileDetails* Find(const std::string& path);
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    FileStamp stamp;
    FileDetails details;
  };
  const FileStamps& stamps_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace orvela
