// Shortcut forms the shell of the test prefix never writes (Unicode link information,
// network links, the expandable path), and damaged files. Real shortcuts are compared
// with the shell link object in link_file_win_test.cpp.
#include <doctest.h>

#include <cstdint>

#include "components/link_file.h"

using namespace orvela;

namespace {

std::string Le(std::uint32_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> 8 * i);
  return bytes;
}

std::string Utf16z(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) bytes += Le(unit, 2);
  return bytes + Le(0, 2);
}

constexpr std::uint32_t kLinkInfo = 0x2, kExpandable = 0x200;

// The header with the flags, what follows it, and the end mark.
std::string Shortcut(std::uint32_t flags, const std::string& parts) {
  std::string header = Le(0x4C, 4) + Le(0x00021401, 4) + Le(0, 4) + Le(0xC0, 4) + Le(0x46000000, 4) + Le(flags, 4);
  header.resize(0x4C, '\0');
  return header + parts + Le(0, 4);
}

struct InfoParts {
  std::uint32_t flags = 1;
  std::string base, network, suffix;
  bool unicode = false;
  std::u16string unicode_base, unicode_suffix;
};

// Link information whose offsets point at the parts in the order given.
std::string LinkInfo(const InfoParts& parts) {
  const std::uint32_t header = parts.unicode ? 0x24 : 0x1C;
  std::string body, offsets;
  auto place = [&](const std::string& bytes) {
    offsets += Le(header + static_cast<std::uint32_t>(body.size()), 4);
    body += bytes;
  };
  place(parts.base + '\0');
  place(parts.network);
  place(parts.suffix + '\0');
  if (parts.unicode) {
    place(Utf16z(parts.unicode_base));
    place(Utf16z(parts.unicode_suffix));
  }
  const std::string info = Le(header, 4) + Le(parts.flags, 4) + Le(0, 4) + offsets + body;
  return Le(static_cast<std::uint32_t>(info.size() + 4), 4) + info;
}

// A network link naming the share in ANSI, or in UTF-16 as well when given.
std::string NetworkLink(std::uint32_t flags, const std::string& share, const std::u16string& unicode_share = {}) {
  const std::uint32_t header = unicode_share.empty() ? 0x14 : 0x1C;
  std::string link = Le(flags, 4) + Le(header, 4) + Le(0, 4) + Le(0, 4);
  if (!unicode_share.empty())
    link += Le(header + static_cast<std::uint32_t>(share.size() + 1), 4) + Le(0, 4);
  link += share + '\0' + (unicode_share.empty() ? "" : Utf16z(unicode_share));
  return Le(static_cast<std::uint32_t>(link.size() + 4), 4) + link;
}

std::string ExpandableBlock(const std::string& ansi, const std::u16string& unicode) {
  std::string ansi_field = ansi, unicode_field = Utf16z(unicode);
  ansi_field.resize(260, '\0');
  unicode_field.resize(520, '\0');
  return Le(0x314, 4) + Le(0xA0000001, 4) + ansi_field + unicode_field;
}

const std::string kLocalInfo = LinkInfo({1, "C:\\Windows\\notepad.exe", "", "", false, u"", u""});

}  // namespace

TEST_CASE("targets of the link information and the expandable path") {
  const struct {
    const char* what;
    std::string bytes;
    std::optional<std::string> target;
  } cases[] = {
      {"the Unicode forms win over ANSI ones that lost characters",
       Shortcut(kLinkInfo, LinkInfo({1, "C:\\??", "", "?.txt", true, u"C:\\한글", u"메모.txt"})), "C:\\한글\\메모.txt"},
      {"a base path ending in a backslash takes the suffix as it is",
       Shortcut(kLinkInfo, LinkInfo({1, "C:\\", "", "a.txt", false, u"", u""})), "C:\\a.txt"},
      {"a share and the suffix",
       Shortcut(kLinkInfo, LinkInfo({2, "", NetworkLink(0, "\\\\server\\share"), "dir\\file.txt", false, u"", u""})),
       "\\\\server\\share\\dir\\file.txt"},
      {"a share named in Unicode",
       Shortcut(kLinkInfo, LinkInfo({2, "", NetworkLink(2, "\\\\?", u"\\\\서버\\share"), "", true, u"", u"a.txt"})),
       "\\\\서버\\share\\a.txt"},
      {"a mapped drive is the shell's to tell",
       Shortcut(kLinkInfo, LinkInfo({2, "", NetworkLink(1, "\\\\server\\share"), "a.txt", false, u"", u""})),
       std::nullopt},
      {"the expandable path, in Unicode",
       Shortcut(kLinkInfo | kExpandable, kLocalInfo + ExpandableBlock("%windir%\\a.exe", u"%SystemRoot%\\notepad.exe")),
       "%SystemRoot%\\notepad.exe"},
      {"the expandable path, in ANSI when the Unicode one is empty",
       Shortcut(kExpandable, ExpandableBlock("%windir%\\a.exe", u"")), "%windir%\\a.exe"},
      {"an expandable path the header does not announce is passed over",
       Shortcut(kLinkInfo, kLocalInfo + ExpandableBlock("%windir%\\a.exe", u"%windir%\\a.exe")),
       "C:\\Windows\\notepad.exe"},
      {"an announced expandable path that is missing",
       Shortcut(kLinkInfo | kExpandable, kLocalInfo), std::nullopt},
      {"an advertised shortcut", Shortcut(kLinkInfo | 0x1000, kLocalInfo), std::nullopt},
      {"an unknown header flag", Shortcut(kLinkInfo | 0x80000000, kLocalInfo), std::nullopt},
      {"an unknown link information flag",
       Shortcut(kLinkInfo, LinkInfo({5, "C:\\a.txt", "", "", false, u"", u""})), std::nullopt},
  };
  for (const auto& c : cases) {
    INFO(std::string(c.what));
    const std::optional<LinkFile> link = ReadLinkFile(c.bytes);
    CHECK(link.has_value() == c.target.has_value());
    if (link && c.target) CHECK(link->target == *c.target);
  }
}

TEST_CASE("cut files and hostile sizes are not read") {
  const std::string whole =
      Shortcut(kLinkInfo | kExpandable | 0x20, kLocalInfo + Le(2, 2) + "-x" + ExpandableBlock("", u"%TEMP%"));
  REQUIRE(ReadLinkFile(whole));
  for (std::size_t size = 0; size < whole.size(); ++size) {
    CAPTURE(size);
    CHECK_FALSE(ReadLinkFile(std::string_view(whole).substr(0, size)));
  }
  const std::string hostile[] = {
      Shortcut(0x1, Le(0xFFFF, 2) + Le(0, 2)),                            // item id list
      Shortcut(kLinkInfo, Le(0xFFFFFFFF, 4) + kLocalInfo.substr(4)),      // link information
      Shortcut(kLinkInfo, kLocalInfo.substr(0, 4) + Le(0xFFFF, 4) + kLocalInfo.substr(8)),  // its header
      Shortcut(kLinkInfo, LinkInfo({2, "", Le(0xFFFF, 4) + NetworkLink(0, "\\\\s\\x").substr(4), "", false, u"",
                                    u""})),                               // the network link
      Shortcut(0x20, Le(0xFFFF, 2) + "-x"),                               // a string
      Shortcut(kExpandable, Le(0xFFFFFFF0, 4) + Le(0xA0000001, 4)),       // an extra block
  };
  for (const std::string& bytes : hostile) CHECK_FALSE(ReadLinkFile(bytes));
}
