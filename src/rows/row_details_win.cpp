#include "rows/row_details_win.h"

#include <map>
#include <vector>

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

int RowPictures::Add(HICON icon) {
  if (!icon) return -1;
  UniqueHicon owned(icon);
  const std::optional<uint64_t> hash = PixelHash(icon);
  if (hash) {
    if (const auto it = by_pixels_.find(*hash); it != by_pixels_.end()) return it->second;
  }
  const int index = ImageList_AddIcon(images_.get(), icon);
  if (index >= 0 && hash) by_pixels_.emplace(*hash, index);
  return index;
}

RowDetailStore::RowDetailStore(Dpi dpi) : cache_(stamps_), pictures_(dpi) {}

std::optional<int> RowDetailStore::Picture(const std::string& path, bool fetch) {
  FileDetails* details = cache_.Find(path);
  if (!details) return -1;
  if (!details->picture && fetch) details->picture = pictures_.Add(FileIconOf(path));
  return details->picture;
}

std::optional<VersionTexts> RowDetailStore::Version(const std::string& path, bool fetch) {
  FileDetails* details = cache_.Find(path);
  if (!details) return VersionTexts{};
  if (!details->version && fetch) details->version = ReadVersionTexts(path).value_or(VersionTexts{});
  return details->version;
}

std::optional<LinkTarget> RowDetailStore::Link(const std::string& shortcut, bool fetch) {
  FileDetails* details = cache_.Find(shortcut);
  if (!details) return LinkTarget{};
  if (!details->link && fetch) {
    LinkTarget target;
    links_.ReadLinkTarget(shortcut, target.path, target.own_icon, nullptr);
    details->link = target;
  }
  return details->link;
}

RowDetailStore& SharedRowDetails(Dpi dpi) {
  // Live as long as the program: the rows of every page point into their pictures.
  static auto* stores = new std::map<int, RowDetailStore*>();
  RowDetailStore*& store = (*stores)[dpi.value()];
  if (!store) store = new RowDetailStore(dpi);
  return *store;
}

}  // namespace orvela
