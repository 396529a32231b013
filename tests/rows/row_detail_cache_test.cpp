#include <doctest.h>

#include "rows/row_detail_cache.h"

using namespace orvela;

namespace {

constexpr char kTool[] = "C:\\Tools\\tool.exe";
constexpr FileStamp kStamp{100, 2048};

FileDetails Known() {
  FileDetails details;
  details.picture = 3;
  details.version = VersionTexts{"Tool", "Maker", "(C)", "A tool"};
  details.link = LinkTarget{"C:\\x.exe", true};
  return details;
}

}  // namespace

TEST_CASE("the row detail cache keeps a file's details while its time and size stay") {
  RowDetailCache cache;
  const FileDetails first = cache.Find(kTool, kStamp);
  CHECK_FALSE(first.picture);  // nothing known of a file seen for the first time
  CHECK_FALSE(first.version);
  cache.Keep(kTool, kStamp, Known());
  cache.Find("C:\\Other\\other.exe", kStamp);

  SUBCASE("unchanged: everything known is kept, for that path only") {
    const FileDetails again = cache.Find(kTool, kStamp);
    CHECK(again.picture == 3u);
    CHECK(again.version->company == "Maker");
    CHECK(again.link->own_icon);
    CHECK_FALSE(cache.Find("C:\\Other\\other.exe", kStamp).version);
  }
  SUBCASE("a part learnt later joins the others") {
    FileDetails icon_only;
    icon_only.picture = 9;
    cache.Keep(kTool, kStamp, icon_only);
    const FileDetails again = cache.Find(kTool, kStamp);
    CHECK(again.picture == 9u);
    CHECK(again.version->product == "Tool");
  }
  SUBCASE("a new write time or a new size: known again from nothing, and a late answer about the old file is not kept") {
    for (const FileStamp changed : {FileStamp{101, 2048}, FileStamp{100, 4096}}) {
      CAPTURE(changed.write_time);
      CHECK_FALSE(cache.Find(kTool, changed).version);
      cache.Keep(kTool, kStamp, Known());  // read before the file changed
      CHECK_FALSE(cache.Find(kTool, changed).picture);
      FileDetails icon_only;
      icon_only.picture = 7;
      cache.Keep(kTool, changed, icon_only);
      CHECK(cache.Find(kTool, changed).picture == 7u);  // the new stamp is the one kept
      cache.Find(kTool, kStamp);
    }
  }
  SUBCASE("a deleted file is dropped, and one made again under its name starts empty") {
    cache.Find(kTool, std::nullopt);
    CHECK(cache.size() == 1);
    cache.Keep(kTool, kStamp, Known());  // an answer about the deleted file
    CHECK_FALSE(cache.Find(kTool, kStamp).picture);
  }
}
