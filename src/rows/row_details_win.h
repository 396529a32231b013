// The run's row details on the real system: file stamps from the file system, icons from
// the shell kept once per distinct picture, version texts and shortcut targets, all through
// one RowDetailCache. Every list of the program asks here for what its rows show.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "rows/row_detail_cache.h"
#include "components/shell_link_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

// Last-write time and size by GetFileAttributesEx; folders have one too.
class Win32FileStamps final : public FileStamps {
 public:
  std::optional<FileStamp> StampOf(const std::string& path) const override;
};

// One image list of 32 x 32 (at 96 DPI) scaled to the screen's DPI for every row of every list.
// Rows whose files give the same picture (most programs without an icon of their own)
// share one image.
class RowPictures {
 public:
  explicit RowPictures(Dpi dpi);
  HIMAGELIST images() const { return images_.get(); }
  // The index of the icon's picture, added when new; the icon is destroyed. -1 for none.
  int Add(HICON icon);

 private:
  UniqueHimagelist images_;
  std::unordered_map<uint64_t, int> by_pixels_;
};

class RowDetailStore {
 public:
  explicit RowDetailStore(Dpi dpi = Dpi());
  RowDetailStore(const RowDetailStore&) = delete;
  RowDetailStore& operator=(const RowDetailStore&) = delete;

  // Each answers from the cache while the file's time and size stay; otherwise, with fetch,
  // asks the shell or the file now and keeps the answer, and without it gives nullopt (the
  // row waits). A file that does not exist has no picture, no version texts and no target.
  std::optional<int> Picture(const std::string& path, bool fetch);  // -1: none
  std::optional<VersionTexts> Version(const std::string& path, bool fetch);
  std::optional<LinkTarget> Link(const std::string& shortcut, bool fetch);

  HIMAGELIST pictures() const { return pictures_.images(); }
  // For icons found another way (a shell item rather than a file).
  int AddPicture(HICON icon) { return pictures_.Add(icon); }
  // Nothing is known yet (the run's first fill): no row needs to be looked at for it.
  bool empty() const { return cache_.size() == 0; }

 private:
  Win32FileStamps stamps_;
  RowDetailCache cache_;
  RowPictures pictures_;
  TShellLink links_;
};

// The one store of the program's run (one per DPI: the pictures are made at its size).
RowDetailStore& SharedRowDetails(Dpi dpi);

}  // namespace orvela
