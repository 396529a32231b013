// Forms the test prefix's shell never writes (Unicode link information, shares, the
// expandable path) and damaged files; link_file_win_test.cpp compares real shortcuts.
#include <doctest.h>

#include <cstdint>
#include <vector>

#include "components/link_file.h"

using namespace orvela;
using namespace std::string_literals;

namespace {

std::string Le(std::uint32_t value, int width = 4) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> 8 * i);
  return bytes;
}

std::string Utf16z(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += Le(unit, 2);
  return bytes + Le(0, 2);
}

// A block led by its size, then the numbers (kPart + i stands for the offset of part i), then the parts.
constexpr std::uint32_t kPart = 0xFFFFFF00;
std::string Block(const std::vector<std::uint32_t>& numbers, const std::vector<std::string>& parts) {
  std::vector<std::uint32_t> offsets;
  auto at = static_cast<std::uint32_t>(4 + 4 * numbers.size());
  for (const std::string& part : parts) offsets.push_back(at), at += static_cast<std::uint32_t>(part.size());
  std::string bytes = Le(at);
  for (std::uint32_t n : numbers) bytes += Le(n >= kPart ? offsets[n - kPart] : n);
  for (const std::string& part : parts) bytes += part;
  return bytes;
}

// The header with the flags, what follows it, and the end mark.
std::string Shortcut(std::uint32_t flags, const std::string& parts) {
  std::string header = Le(0x4C) + Le(0x00021401) + Le(0) + Le(0xC0) + Le(0x46000000) + Le(flags);
  header.resize(0x4C, '\0');
  return header + parts + Le(0);
}

constexpr std::uint32_t kLinkInfo = 0x2, kExpandable = 0x200;
// Link information: header size, flags, volume, base path, share link, suffix[, the Unicode ones].
const std::string kLocal = Block({0x1C, 1, 0, kPart, 0, kPart + 1}, {"C:\\a.exe\0"s, "\0"s});
// The path as typed, with its environment references: 260 ANSI bytes (empty), 260 UTF-16 units.
const std::string kExpandablePath =
    Le(0x314) + Le(0xA0000001) + std::string(260, '\0') + Utf16z(u"%SystemRoot%\\a.exe") + std::string(482, '\0');
std::string ShareInfo(const std::string& network_link, const std::string& suffix) {
  return Block({0x1C, 2, 0, 0, kPart, kPart + 1}, {network_link, suffix});
}
// A network link: flags (1: a mapped drive), the share name's offset, device, provider[, Unicode ones].
const std::string kShare = ShareInfo(Block({0, 0x14, 0, 0}, {"\\\\server\\share\0"s}), "dir\\b.txt\0"s);

}  // namespace

TEST_CASE("targets of the link information and the expandable path") {
  // The target read, "" where the reader leaves the shortcut to the shell link object.
  const std::pair<std::string, std::string> cases[] = {
      {Shortcut(kLinkInfo, Block({0x24, 1, 0, kPart, 0, kPart + 1, kPart + 2, kPart + 3},
                                 {"C:\\??\0"s, "?\0"s, Utf16z(u"C:\\"), Utf16z(u"한글.txt")})),
       "C:\\한글.txt"},
      {Shortcut(kLinkInfo, kShare), "\\\\server\\share\\dir\\b.txt"},
      {Shortcut(kLinkInfo, ShareInfo(Block({2, 0x1C, 0, 0, kPart + 1, 0}, {"?\0"s, Utf16z(u"\\\\서버\\s")}), "\0"s)),
       "\\\\서버\\s"},
      // A mapped drive: whether the drive or the share is shown is the shell's choice.
      {Shortcut(kLinkInfo, ShareInfo(Block({1, 0x14, 0, 0}, {"\\\\server\\share\0"s}), "b.txt\0"s)), ""},
      {Shortcut(kLinkInfo | kExpandable, kLocal + kExpandablePath), "%SystemRoot%\\a.exe"},
      {Shortcut(kLinkInfo, kLocal + kExpandablePath), "C:\\a.exe"},
      {Shortcut(kLinkInfo | kExpandable, kLocal), ""},
  };
  for (const auto& [bytes, target] : cases) {
    const std::optional<LinkFile> link = ReadLinkFile(bytes);
    CHECK((link ? link->target : "") == target);
  }
}

TEST_CASE("cut files and hostile sizes are not read") {
  const std::string whole = Shortcut(kLinkInfo | kExpandable | 0x20, kShare + Le(2, 2) + "-x" + kExpandablePath);
  REQUIRE(ReadLinkFile(whole));
  for (std::size_t size = 0; size < whole.size(); ++size) CHECK_FALSE(ReadLinkFile(whole.substr(0, size)));
  const std::string hostile[] = {
      Shortcut(0x1, Le(0xFFFF, 2) + Le(0, 2)),                                      // item id list
      Shortcut(kLinkInfo, Le(0xFFFFFFFF) + kLocal.substr(4)),                       // link information
      Shortcut(kLinkInfo, Le(kLocal.size()) + Le(0xFFFF) + kLocal.substr(8)),       // its header
      Shortcut(kLinkInfo, ShareInfo(Le(0xFFFF) + kShare.substr(0x20), "\0"s)),       // network link
      Shortcut(0x20, Le(0xFFFF, 2) + "-x"),                                         // a string
      Shortcut(kExpandable, Le(0xFFFFFFF0) + Le(0xA0000001)),                       // an extra block
  };
  for (const std::string& bytes : hostile) CHECK_FALSE(ReadLinkFile(bytes));
}
