// The update check's rules without a network: addresses, what the page may name, and the
// version comparison. The same rules against a real server: version_box_win_test.cpp.
#include <doctest.h>

#include <string>

#include "version/update_check.h"

using namespace orvela;

// No folder, one blank and a folder: against a server in version_box_win_test.cpp.
TEST_CASE("the update page's folder is trimmed; only one blank exactly means no folder") {
  const std::string site = "https://site.test/";
  CHECK(UpdatePageAddress(site, "  DownLoadHtml ", "p.html") == "https://site.test/DownLoadHtml/p.html");
  CHECK(UpdatePageAddress(site, "  ", "p.html") == "https://site.test//p.html");
  CHECK(UpdatePageAddress(site, "\t", "p.html") == "https://site.test//p.html");
  CHECK(UpdatePageName("") == "UpdateFilePage.html");
  CHECK(UpdatePageName("UpdateFilePageFree.html") == "UpdateFilePageFree.html");
  CHECK(ReleaseAddress(site, "UpdateFile", "Orvela_Up1278.zip") == "https://site.test/UpdateFile/Orvela_Up1278.zip");
}

TEST_CASE("only the stem, four digits and .zip make a release name") {
  const std::string stem = "Orvela_Up";
  CHECK(FindReleaseName("<a href=\"Orvela_Up1278.zip\">", stem) == "Orvela_Up1278.zip");
  CHECK(FindReleaseName("Orvela_Up1278.zip", stem) == "Orvela_Up1278.zip");  // at the very end
  CHECK(FindReleaseName("no release here", stem) == std::nullopt);
  CHECK(FindReleaseName("orvela_up1278.zip", stem) == std::nullopt);  // the stem's case counts
  for (const char* page : {"Orvela_Up1278.zi", "Orvela_Up127", "Orvela_Up 278.zip", "Orvela_Up1278.ZIP",
                           "Orvela_Up1278\x01zip", "Orvela_Up1278/zip", "Orvela_Up-278.zip", "Orvela_Up\t278.zip"}) {
    CAPTURE(page);
    CHECK(FindReleaseName(page, stem) == std::nullopt);
  }
  // Only the first occurrence counts: a bad first name is no release, even with a good one later.
  CHECK(FindReleaseName("Orvela_Up news! Orvela_Up1278.zip", stem) == std::nullopt);
  // A stem that could itself leave the folder never names a file.
  CHECK(FindReleaseName("..\\1278.zip", "..\\") == std::nullopt);
  CHECK(FindReleaseName("1278.zip", "") == std::nullopt);
  CHECK(ReleaseVersion("Orvela_Up1278.zip") == "1278");
}

TEST_CASE("versions compare as text, byte by byte") {
  CHECK(IsNewerRelease("1277", "1278"));
  CHECK_FALSE(IsNewerRelease("1278", "1278"));
  CHECK_FALSE(IsNewerRelease("1279", "1278"));
  CHECK(IsNewerRelease("127", "1270"));     // a prefix sorts first
  CHECK_FALSE(IsNewerRelease("9", "1000"));  // text, not numbers
  CHECK(IsNewerRelease("", "0000"));
}

TEST_CASE("a page is collected piece by piece, each up to its first zero byte") {
  std::string page;
  CHECK(AppendPagePiece(page, std::string_view("Orvela_\0hidden", 14)));
  CHECK(AppendPagePiece(page, "Up1278.zip"));
  CHECK(page == "Orvela_Up1278.zip");
  // The page stops growing at its limit.
  std::string big(kMaxPageBytes - 3, 'x');
  CHECK_FALSE(AppendPagePiece(big, "abcdef"));
  CHECK(big.size() == kMaxPageBytes);
  CHECK(big.substr(big.size() - 3) == "abc");
}

TEST_CASE("Content-Length is a plain number or nothing") {
  CHECK(ParseContentLength("5000") == 5000u);
  CHECK(ParseContentLength(" 0 ") == 0u);
  CHECK(ParseContentLength("8589934592") == 8589934592ull);  // over 4 GiB
  for (const char* bad : {"", "-1", "12a", "1 2", "99999999999999999999"}) {
    CAPTURE(bad);
    CHECK(ParseContentLength(bad) == std::nullopt);
  }
}
