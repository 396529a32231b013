#include "rows/row_details_win.h"

#include <map>
#include <vector>

#include "components/link_file.h"
#include "system/program_lookup_win.h"
#include "system/version_texts_win.h"
#include "platform/device_context_win.h"
#include "platform/shell_icon_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

// The pixels of a bitmap as 32-bit top-down rows, appended to `bytes`; false when unreadable.
bool AppendBitmapBits(HDC dc, HBITMAP bitmap, std::vector<uint32_t>& bytes) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return false;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  const size_t start = bytes.size();
  bytes.push_back(static_cast<uint32_t>(info.bmWidth));
  bytes.push_back(static_cast<uint32_t>(info.bmHeight));
  bytes.resize(start + 2 + static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), bytes.data() + start + 2, &header,
                   DIB_RGB_COLORS) != 0;
}

// FNV-1a over the colour and mask pixels; nullopt when the icon cannot be read.
std::optional<uint64_t> PixelHash(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return std::nullopt;
  UniqueHbitmap colour(info.hbmColor), mask(info.hbmMask);
  std::vector<uint32_t> pixels;
  {
    const WindowDc screen(nullptr);
    if (!AppendBitmapBits(screen.get(), mask.get(), pixels) ||
        (colour && !AppendBitmapBits(screen.get(), colour.get(), pixels)))
      return std::nullopt;
  }
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t pixel : pixels) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (pixel >> shift) & 0xFF;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

LinkTarget ReadShortcut(const std::string& shortcut, const TShellLink& links) {
  LinkTarget target;
  if (const std::optional<LinkFile> file = ReadLinkFileAt(shortcut)) {
    target.path = ExpandEnvironmentText(file->target);
    target.own_icon = !file->icon_location.empty();
    return target;
  }
  links.ReadLinkTarget(shortcut, target.path, target.own_icon, nullptr);
  return target;
}

}  // namespace

std::optional<FileStamp> Win32FileStamps::StampOf(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FileStamp stamp;
  stamp.write_time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
  stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return stamp;
}

RowPictures::RowPictures(Dpi dpi)
    : images_(ImageList_Create(dpi.Scale(32), dpi.Scale(32), ILC_COLOR32 | ILC_MASK, 0, 16)) {}

PictureKey RowPictures::Keep(HICON icon) {
  if (!icon) return 0;
  UniqueHicon owned(icon);
  const std::optional<uint64_t> hash = PixelHash(icon);
  Locked locked(lock_);
  // Hashes keep clear of the keys of unreadable icons and of 0.
  const PictureKey key = hash ? (*hash & ~(PictureKey{1} << 63)) | 1 : next_unreadable_++;
  if (!indexes_.count(key)) not_added_.try_emplace(key, std::move(owned));
  return key;
}

int RowPictures::IndexOf(PictureKey key) {
  if (key == 0) return -1;
  UniqueHicon icon;
  {
    Locked locked(lock_);
    if (const auto it = indexes_.find(key); it != indexes_.end()) return it->second;
    const auto waiting = not_added_.find(key);
    if (waiting == not_added_.end()) return -1;
    icon = std::move(waiting->second);
    not_added_.erase(waiting);
  }
  const int index = ImageList_AddIcon(images_.get(), icon.get());
  Locked locked(lock_);
  indexes_[key] = index;
  not_added_.erase(key);  // kept again by a look-up meanwhile
  return index;
}

RowDetailStore::RowDetailStore(Dpi dpi) : pictures_(dpi) {}

std::optional<FileStamp> RowDetailStore::StampOf(const std::string& path) const {
  return path.empty() ? std::nullopt : stamps_.StampOf(path);
}

std::optional<std::pair<FileStamp, FileDetails>> RowDetailStore::Known(const std::string& path) {
  const std::optional<FileStamp> stamp = StampOf(path);  // away from the lock: it may take long
  Locked locked(lock_);
  FileDetails details = cache_.Find(path, stamp);
  if (!stamp) return std::nullopt;
  return std::make_pair(*stamp, std::move(details));
}

void RowDetailStore::Keep(const std::string& path, const FileStamp& stamp, const FileDetails& learnt) {
  Locked locked(lock_);
  cache_.Keep(path, stamp, learnt);
}

std::optional<PictureKey> RowDetailStore::PictureKeyOf(const std::string& path, bool fetch) {
  const auto known = Known(path);
  if (!known) return PictureKey{0};
  if (known->second.picture || !fetch) return known->second.picture;
  FileDetails learnt;
  learnt.picture = pictures_.Keep(FileIconOf(path));
  Keep(path, known->first, learnt);
  return learnt.picture;
}

std::optional<int> RowDetailStore::Picture(const std::string& path, bool fetch) {
  const std::optional<PictureKey> key = PictureKeyOf(path, fetch);
  if (!key) return std::nullopt;
  return PictureIndex(*key);
}

std::optional<VersionTexts> RowDetailStore::Version(const std::string& path, bool fetch) {
  const auto known = Known(path);
  if (!known) return VersionTexts{};
  if (known->second.version || !fetch) return known->second.version;
  FileDetails learnt;
  learnt.version = ReadVersionTexts(path).value_or(VersionTexts{});
  Keep(path, known->first, learnt);
  return learnt.version;
}

std::optional<LinkTarget> RowDetailStore::Link(const std::string& shortcut, bool fetch) {
  const auto known = Known(shortcut);
  if (!known) return LinkTarget{};
  if (known->second.link || !fetch) return known->second.link;
  FileDetails learnt;
  learnt.link = ReadShortcut(shortcut, links_);
  Keep(shortcut, known->first, learnt);
  return learnt.link;
}

RowDetailStore& SharedRowDetails(Dpi dpi) {
  // Live as long as the program: the rows of every page point into their pictures.
  static auto* stores = new std::map<int, RowDetailStore*>();
  RowDetailStore*& store = (*stores)[dpi.value()];
  if (!store) store = new RowDetailStore(dpi);
  return *store;
}

}  // namespace orvela
