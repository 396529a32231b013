#include "components/link_file.h"

#include <cstdint>
#include <utility>

#include "components/item_id_list.h"
#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/utf.h"

namespace orvela {
namespace {

// The header: its size, the shell link class, then the flags of what follows.
constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::string_view kShellLinkClass("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
constexpr std::size_t kFlagsAt = 0x14;
constexpr std::uint32_t kHasItemIdList = 0x1, kHasLinkInfo = 0x2, kHasName = 0x4, kHasRelativePath = 0x8,
                        kHasWorkingFolder = 0x10, kHasArguments = 0x20, kHasIconLocation = 0x40, kIsUnicode = 0x80,
                        kForceNoLinkInfo = 0x100, kHasExpandablePath = 0x200;
// An installer-advertised target (its path is the installer's to give) and bits no
// shortcut has had so far: the target cannot be read from the file alone.
constexpr std::uint32_t kNotHandledFlags = 0x800 | 0x1000 | 0xF8000000;

// The link information: sizes and offsets count from its start. A header of 0x24 bytes or
// more also gives the offsets of the Unicode base path and suffix.
constexpr std::uint32_t kLinkInfoHeader = 0x1C, kLinkInfoUnicodeHeader = 0x24;
constexpr std::uint32_t kHasLocalBasePath = 0x1, kHasNetworkLink = 0x2;
constexpr std::size_t kBasePathAt = 16, kNetworkLinkAt = 20, kSuffixAt = 24, kUnicodeBasePathAt = 28,
                      kUnicodeSuffixAt = 32;
// The network link inside it: a share name offset past 0x14 means the Unicode name's
// offset follows at 0x14. A valid device is a mapped drive letter.
constexpr std::uint32_t kNetworkLinkHeader = 0x14, kValidDevice = 0x1;

// The block with the target as typed, environment references kept: 260 ANSI bytes, then
// 260 UTF-16 units.
constexpr std::uint32_t kExpandablePathSignature = 0xA0000001, kExpandablePathBlockSize = 0x314;
constexpr std::size_t kAnsiPathAt = 8, kUnicodePathAt = 8 + 260;

// A little-endian number of `width` bytes; nullopt past the end.
std::optional<std::uint32_t> Number(std::string_view bytes, std::size_t at, std::size_t width) {
  if (at > bytes.size() || width > bytes.size() - at) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::optional<std::string_view> Slice(std::string_view bytes, std::size_t at, std::size_t size) {
  if (at > bytes.size() || size > bytes.size() - at) return std::nullopt;
  return bytes.substr(at, size);
}

std::string Utf16Text(std::string_view bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return Utf16ToUtf8(text);
}

// The UTF-16 text from `at` to its zero unit, which must lie within the bytes.
std::optional<std::string> Utf16At(std::string_view bytes, std::size_t at) {
  for (std::size_t end = at;; end += 2) {
    const std::optional<std::uint32_t> unit = Number(bytes, end, 2);
    if (!unit) return std::nullopt;
    if (*unit == 0) return Utf16Text(bytes.substr(at, end - at));
  }
}

// An ANSI path from `at` to its NUL. A "?" is the system's mark of a character the code
// page could not hold when the path was written: such a path names no file.
std::optional<std::string> AnsiPathAt(std::string_view bytes, std::size_t at) {
  const std::size_t end = at < bytes.size() ? bytes.find('\0', at) : std::string_view::npos;
  if (end == std::string_view::npos) return std::nullopt;
  std::optional<std::string> path = AnsiToUtf8(bytes.substr(at, end - at));
  if (path && path->find('?') != std::string::npos) return std::nullopt;
  return path;
}

std::string JoinSuffix(std::string base, const std::string& suffix) {
  if (!base.empty() && !suffix.empty() && base.back() != '\\') base += '\\';
  return base + suffix;
}

// "\\server\share" of a network link that names no mapped drive.
std::optional<std::string> ShareName(std::string_view link) {
  const auto size = Number(link, 0, 4), flags = Number(link, 4, 4), name_at = Number(link, 8, 4);
  if (!name_at || *size < kNetworkLinkHeader || *size > link.size() || (*flags & kValidDevice) ||
      *name_at < kNetworkLinkHeader)
    return std::nullopt;
  link = link.substr(0, *size);
  if (*name_at == kNetworkLinkHeader) return AnsiPathAt(link, *name_at);
  const std::optional<std::uint32_t> unicode_at = Number(link, kNetworkLinkHeader, 4);
  return unicode_at ? Utf16At(link, *unicode_at) : std::nullopt;
}

// The path the link information names: the local base path or the share, and the suffix.
std::optional<std::string> LinkInfoPath(std::string_view info) {
  const auto header = Number(info, 4, 4), flags = Number(info, 8, 4), suffix_at = Number(info, kSuffixAt, 4);
  if (!suffix_at || *header < kLinkInfoHeader || *header > info.size() ||
      (*flags & ~(kHasLocalBasePath | kHasNetworkLink)))
    return std::nullopt;
  // The Unicode form where the header has its offset, else the ANSI one; never inside the header.
  auto text = [&](std::size_t ansi_field, std::size_t unicode_field) -> std::optional<std::string> {
    if (*header >= kLinkInfoUnicodeHeader) {
      if (const auto at = Number(info, unicode_field, 4); *at != 0) {
        return *at < *header ? std::nullopt : Utf16At(info, *at);
      }
    }
    const std::uint32_t at = *Number(info, ansi_field, 4);
    return at < *header ? std::nullopt : AnsiPathAt(info, at);
  };
  const std::optional<std::string> suffix = text(kSuffixAt, kUnicodeSuffixAt);
  std::optional<std::string> base;
  if (*flags & kHasLocalBasePath) {
    base = text(kBasePathAt, kUnicodeBasePathAt);
  } else if (*flags & kHasNetworkLink) {
    const std::uint32_t link_at = *Number(info, kNetworkLinkAt, 4);
    if (link_at >= *header && link_at < info.size()) base = ShareName(info.substr(link_at));
  }
  if (!base || !suffix) return std::nullopt;
  return JoinSuffix(*base, *suffix);
}

std::optional<std::string> ExpandablePath(std::string_view block) {
  std::optional<std::string> path = Utf16At(block, kUnicodePathAt);
  if (!path || path->empty()) path = AnsiPathAt(block.substr(0, kUnicodePathAt), kAnsiPathAt);
  return path;
}

}  // namespace

std::optional<LinkFile> ReadLinkFile(std::string_view bytes) {
  const std::optional<std::uint32_t> flags = Number(bytes, kFlagsAt, 4);
  if (!flags || Number(bytes, 0, 4) != kHeaderSize || bytes.size() < kHeaderSize ||
      bytes.substr(4, kShellLinkClass.size()) != kShellLinkClass || (*flags & kNotHandledFlags))
    return std::nullopt;
  std::size_t at = kHeaderSize;

  if (*flags & kHasItemIdList) {
    const std::optional<std::uint32_t> size = Number(bytes, at, 2);
    const std::optional<std::string_view> list = size ? Slice(bytes, at + 2, *size) : std::nullopt;
    if (!list || *size < 2 ||
        ItemIdListSize(reinterpret_cast<const std::uint8_t*>(list->data()), list->size()) != *size - 2)
      return std::nullopt;
    at += 2 + *size;
  }

  std::optional<std::string> path;
  if (*flags & kHasLinkInfo) {
    const std::optional<std::uint32_t> size = Number(bytes, at, 4);
    const std::optional<std::string_view> info = size ? Slice(bytes, at, *size) : std::nullopt;
    if (!info || *size < kLinkInfoHeader) return std::nullopt;
    if (!(*flags & kForceNoLinkInfo)) path = LinkInfoPath(*info);
    at += *size;
  }

  LinkFile link;
  std::string name, relative_path;  // read past: the shell's raw path does not use them
  const std::pair<std::uint32_t, std::string*> strings[] = {{kHasName, &name},
                                                            {kHasRelativePath, &relative_path},
                                                            {kHasWorkingFolder, &link.working_folder},
                                                            {kHasArguments, &link.arguments},
                                                            {kHasIconLocation, &link.icon_location}};
  const std::size_t unit = (*flags & kIsUnicode) ? 2 : 1;
  for (const auto& [flag, field] : strings) {
    if (!(*flags & flag)) continue;
    const std::optional<std::uint32_t> count = Number(bytes, at, 2);
    const std::optional<std::string_view> text = count ? Slice(bytes, at + 2, *count * unit) : std::nullopt;
    if (!text) return std::nullopt;
    std::optional<std::string> decoded = unit == 2 ? Utf16Text(*text) : AnsiToUtf8(*text);
    if (!decoded) return std::nullopt;
    // Some writers (Wine's shell among them) count a terminating NUL in; the text ends there.
    *field = decoded->substr(0, decoded->find('\0'));
    at += 2 + text->size();
  }

  // Extra blocks, each led by its size, up to one smaller than 4 bytes (the end mark).
  std::optional<std::string> expandable;
  for (;;) {
    const std::optional<std::uint32_t> size = Number(bytes, at, 4);
    if (!size) return std::nullopt;  // cut before the end mark
    if (*size < 4) break;
    const std::optional<std::string_view> block = Slice(bytes, at, *size);
    if (!block || *size < 8) return std::nullopt;
    if (Number(*block, 4, 4) == kExpandablePathSignature) {
      if (*size != kExpandablePathBlockSize) return std::nullopt;
      expandable = ExpandablePath(*block);
    }
    at += *size;
  }
  // The shell's raw path is the expandable one whenever the shortcut says it has one.
  if (*flags & kHasExpandablePath) path = std::move(expandable);
  if (!path || path->empty()) return std::nullopt;
  link.target = std::move(*path);
  return link;
}

std::optional<LinkFile> ReadLinkFileAt(const std::string& path) {
  // Most shortcuts are under a few kilobytes: one small read, a second for the rest.
  constexpr std::size_t kFirstRead = 4096, kLargestShortcut = 64 * 1024;
  std::optional<std::string> bytes = ReadFileHead(path, kFirstRead + 1);
  if (bytes && bytes->size() > kFirstRead) bytes = ReadFileHead(path, kLargestShortcut + 1);
  if (!bytes || bytes->size() > kLargestShortcut) return std::nullopt;
  return ReadLinkFile(*bytes);
}

}  // namespace orvela
