#include <doctest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "regfile/regfile_test_support.h"

using namespace orvela;

TEST_CASE("whole files: read, replace in one step, never truncate on failure") {
  testing::TempFolder folder;
  const std::string path = folder.File("表 data.txt");  // a name beyond ASCII

  CHECK_FALSE(ReadWholeFile(path));
  const std::string bytes("a\0b\r\n\x95\x5C", 7);
  REQUIRE(WriteWholeFileReplacing(path, bytes));
  CHECK(ReadWholeFile(path) == bytes);
  REQUIRE(WriteWholeFileReplacing(path, "new"));
  CHECK(ReadWholeFile(path) == "new");
  REQUIRE(WriteWholeFileReplacing(path, ""));
  CHECK(ReadWholeFile(path) == "");

  // The target is a folder: the write fails and leaves no temporary file behind.
  const std::string blocked = folder.File("blocked");
  std::filesystem::create_directory(std::filesystem::path(std::u8string(
      reinterpret_cast<const char8_t*>(blocked.data()), blocked.size())));
  CHECK_FALSE(WriteWholeFileReplacing(blocked, "x"));
  CHECK_FALSE(ReadWholeFile(blocked + ".new"));
  CHECK_FALSE(WriteWholeFileReplacing(folder.File("missing/x.txt"), "x"));
}

TEST_CASE("new files never replace one that is there") {
  testing::TempFolder folder;
  REQUIRE(MakeFolderTree(folder.File("kept")));
  const std::string path = folder.File("kept/1.kept");
  REQUIRE(WriteNewFile(path, "first"));
  CHECK_FALSE(WriteNewFile(path, "second"));
  CHECK(ReadWholeFile(path) == "first");
  CHECK(FileNamesIn(folder.File("kept")) == std::vector<std::string>{"1.kept"});  // no leftovers
}
