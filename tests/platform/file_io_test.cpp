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
  CHECK_FALSE(ReadWholeFile(TemporaryPathFor(blocked)));
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
  // The bytes wait under a name beside the file that is never longer than its own, so a
  // path Windows takes for the file it takes for the write too.
  for (const std::string name : {"C:\\u\\T.reg", "C:\\u\\表", "C:\\u\\a~"}) {
    const std::string temporary = TemporaryPathFor(name);
    CHECK((temporary != name && temporary.size() <= name.size() && temporary.rfind("C:\\u\\", 0) == 0));
  }
}

TEST_CASE("a name read from a file becomes a path only inside its folder") {
  CHECK(PathInFolder("C:\\Users\\Ann\\SendTo", "Mail.lnk") == "C:\\Users\\Ann\\SendTo\\Mail.lnk");
  CHECK(PathInFolder("/tmp/kept/", "1.kept") == "/tmp/kept/1.kept");
  CHECK(PathInFolder("C:\\SendTo", "Save..as ...txt"));
  for (const char* name : {"..\\..\\victim\\precious", "../x", "..", "...", " . ", "", "C:x", "a\tb", "a?"}) {
    CAPTURE(name);
    CHECK_FALSE(PathInFolder("C:\\SendTo", name));
  }
  CHECK_FALSE(PathInFolder("", "Mail.lnk"));
}

TEST_CASE("a file's time and read-only mark go back; a rename never replaces; a file's head") {
  testing::TempFolder folder;
  const std::string path = folder.File("desktop.ini"), other = folder.File("other.ini");
  REQUIRE(WriteNewFile(path, "[.ShellClassInfo]"));
  REQUIRE(WriteNewFile(other, "other"));
  const FileMetadata old_and_read_only{0x1, 125911584000000000};  // 2000-01-01
  REQUIRE(ApplyFileMetadata(path, old_and_read_only));
  const std::optional<FileMetadata> read = ReadFileMetadata(path);
  REQUIRE(read);
  CHECK(read->last_write == old_and_read_only.last_write);
  CHECK((read->attributes & 0x1) != 0);
  REQUIRE(ApplyFileMetadata(path, FileMetadata{0x20, read->last_write}));
  CHECK((ReadFileMetadata(path)->attributes & 0x1) == 0);

  CHECK(ReadFileHead(path, 2) == "[.");
  CHECK_FALSE(RenameFile(path, other));
  CHECK(ReadWholeFile(other) == "other");
  REQUIRE(RenameFile(path, folder.File("moved.ini")));
  CHECK(ReadWholeFile(folder.File("moved.ini")) == "[.ShellClassInfo]");
  CHECK_FALSE(ReadFileMetadata(path));
}
