#include <doctest.h>

#include <algorithm>
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

TEST_CASE("a file that is not there is told from one that cannot be read") {
  testing::TempFolder folder;
  const std::string path = folder.File("表.txt");
  CHECK(ReadFileIfPresent(path).status == FileRead::Status::kMissing);
  CHECK(ReadFileIfPresent(folder.File("no folder/x.txt")).status == FileRead::Status::kMissing);
  REQUIRE(WriteWholeFileReplacing(path, "abc"));
  const FileRead read = ReadFileIfPresent(path);
  CHECK(read.status == FileRead::Status::kRead);
  CHECK(read.bytes == "abc");
  const std::string blocked = folder.File("blocked");
  std::filesystem::create_directory(std::filesystem::u8path(blocked));
  CHECK(ReadFileIfPresent(blocked).status == FileRead::Status::kUnreadable);
}

TEST_CASE("new files never replace one that is there") {
  testing::TempFolder folder;
  REQUIRE(MakeFolderTree(folder.File("kept")));
  const std::string path = folder.File("kept/1.kept");
  REQUIRE(WriteNewFile(path, "first"));
  CHECK_FALSE(WriteNewFile(path, "second"));
  CHECK(ReadWholeFile(path) == "first");
  REQUIRE(WriteNewFile(folder.File("kept/2.kept"), ""));
  std::vector<std::string> names = FileNamesIn(folder.File("kept"));
  std::sort(names.begin(), names.end());
  CHECK(names == std::vector<std::string>{"1.kept", "2.kept"});
  CHECK(DeleteFileAt(path));
  CHECK(DeleteFileAt(path));  // gone already
  CHECK(FileNamesIn(folder.File("kept")) == std::vector<std::string>{"2.kept"});
  CHECK(FileNamesIn(folder.File("none")).empty());
}
