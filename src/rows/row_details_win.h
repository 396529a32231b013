// The run's row details on the real system: file stamps from the file system, icons from
// the shell kept once per distinct picture, version texts and shortcut targets, all through
// one RowDetailCache. Every list of the program asks here for what its rows show. The
// look-ups run on the worker's threads (system/lookup_worker_win.h); only the image list
// belongs to the window's thread.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "rows/row_detail_cache.h"
#include "components/shell_link_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"
#include "system/lookup_worker_win.h"

namespace orvela {

// Last-write time and size by GetFileAttributesEx; folders have one too.
class Win32FileStamps final : public FileStamps {
 public:
  std::optional<FileStamp> StampOf(const std::string& path) const override;
};

// A picture of the run, named by its pixels; 0 names none.
using PictureKey = uint64_t;

// One image list of 32 x 32 (at 96 DPI) scaled to the screen's DPI for every row of every list.
// Rows whose files give the same picture (most programs without an icon of their own)
// share one image. Icons are made on the worker's threads and kept by their key; the window's
// thread adds a picture to the image list (which is not made for several threads) when a
// row first shows it.
class RowPictures {
 public:
  explicit RowPictures(Dpi dpi);
  HIMAGELIST images() const { return images_.get(); }
  // Any thread: the key of the icon's picture, kept when new; the icon is destroyed. 0 for none.
  PictureKey Keep(HICON icon);
  // The window's thread: the picture's index in the image list, added when new; -1 for none.
  int IndexOf(PictureKey key);

 private:
  UniqueHimagelist images_;
  ThreadLock lock_;
  std::unordered_map<PictureKey, int> indexes_;
  std::unordered_map<PictureKey, UniqueHicon> not_added_;
  PictureKey next_unreadable_ = PictureKey{1} << 63;  // icons whose pixels cannot be read
};

class RowDetailStore {
 public:
  explicit RowDetailStore(Dpi dpi = Dpi());
  RowDetailStore(const RowDetailStore&) = delete;
  RowDetailStore& operator=(const RowDetailStore&) = delete;

  // Any thread. Each answers from the cache while the file's time and size stay; otherwise,
  // with fetch, asks the shell or the file now and keeps the answer, and without it gives
  // nullopt (the row waits). A file that does not exist has no picture, no version texts and
  // no target. A shortcut's target is read from the file's bytes, through the shell link
  // object only for what that reader leaves.
  std::optional<PictureKey> PictureKeyOf(const std::string& path, bool fetch);  // 0: none
  std::optional<VersionTexts> Version(const std::string& path, bool fetch);
  std::optional<LinkTarget> Link(const std::string& shortcut, bool fetch);
  // Any thread: for icons found another way (a shell item rather than a file).
  PictureKey AddPicture(HICON icon) { return pictures_.Keep(icon); }

  // The window's thread: the image list and a picture's index in it (-1 none).
  HIMAGELIST pictures() const { return pictures_.images(); }
  int PictureIndex(PictureKey key) { return pictures_.IndexOf(key); }
  std::optional<int> Picture(const std::string& path, bool fetch);

 private:
  std::optional<FileStamp> StampOf(const std::string& path) const;
  // What is kept of the file, and its stamp; nullopt when the file does not exist.
  std::optional<std::pair<FileStamp, FileDetails>> Known(const std::string& path);
  void Keep(const std::string& path, const FileStamp& stamp, const FileDetails& learnt);

  Win32FileStamps stamps_;
  ThreadLock lock_;  // over the cache
  RowDetailCache cache_;
  RowPictures pictures_;
  TShellLink links_;
};

// The one store of the program's run (one per DPI: the pictures are made at its size).
RowDetailStore& SharedRowDetails(Dpi dpi);

}  // namespace orvela
