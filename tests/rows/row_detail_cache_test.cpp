#include <doctest.h>

#include <map>

#include "rows/row_detail_cache.h"

using namespace orvela;

namespace {

// Files as a map from path to stamp; counts the questions.
class FakeStamps : public FileStamps {
 public:
  std::map<std::string, FileStamp> files;
  mutable int asked = 0;
  std::optional<FileStamp> StampOf(const std::string& path) const override {
    ++asked;
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
};

constexpr char kTool[] = "C:\\Tools\\tool.exe";

}  // namespace

TEST_CASE("the row detail cache keeps a file's details while its time and size stay") {
  FakeStamps stamps;
  stamps.files[kTool] = {100, 2048};
  stamps.files["C:\\Other\\other.exe"] = {100, 2048};
  RowDetailCache cache(stamps);
  FileDetails* tool = cache.Find(kTool);
  REQUIRE(tool);
  CHECK_FALSE(tool->picture);  // nothing known of a file seen for the first time
  CHECK_FALSE(tool->version);
  tool->picture = 3;
  tool->version = VersionTexts{"Tool", "Maker", "(C)", "A tool"};
  tool->link = LinkTarget{"C:\\x.exe", true};
  REQUIRE(cache.Find("C:\\Other\\other.exe"));

  SUBCASE("unchanged: everything known is kept, for that path only") {
    FileDetails* again = cache.Find(kTool);
    REQUIRE(again == tool);
    CHECK(again->picture == 3);
    CHECK(again->version->company == "Maker");
    CHECK(again->link->own_icon);
    CHECK_FALSE(cache.Find("C:\\Other\\other.exe")->version);
  }
  SUBCASE("a new write time or a new size: known again from nothing") {
    for (const FileStamp changed : {FileStamp{101, 2048}, FileStamp{100, 4096}}) {
      CAPTURE(changed.write_time);
      stamps.files[kTool] = changed;
      FileDetails* again = cache.Find(kTool);
      REQUIRE(again);
      CHECK_FALSE(again->picture);
      CHECK_FALSE(again->version);
      CHECK_FALSE(again->link);
      again->picture = 7;
      CHECK(cache.Find(kTool)->picture == 7);  // the new stamp is the one kept
    }
  }
  SUBCASE("a deleted file is dropped, and one made again under its name starts empty") {
    stamps.files.erase(kTool);
    CHECK(cache.Find(kTool) == nullptr);
    CHECK(cache.size() == 1);
    stamps.files[kTool] = {100, 2048};  // even with the old stamp
    REQUIRE(cache.Find(kTool));
    CHECK_FALSE(cache.Find(kTool)->picture);
  }
  SUBCASE("an empty path names no file and is not looked up") {
    const int asked = stamps.asked;
    CHECK(cache.Find("") == nullptr);
    CHECK(stamps.asked == asked);
  }
}
