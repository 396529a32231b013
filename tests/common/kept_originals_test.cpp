#include <doctest.h>

#include "common/kept_originals.h"
#include "platform/file_io.h"
#include "regfile/regfile_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("kept originals: one item per keep, found by its exact line, never written over") {
  TempFolder folder;
  KeptOriginals kept(KeptFolderOf(folder.File("startup.txt")));
  const std::string line = "taro=Mail#$#C:\\Mail\\mail.exe";
  const std::string bytes("L\0\0\0\x01\x14\x02\r\n\xFF", 10);

  const auto first = kept.KeepFile(line, "Mail.lnk", bytes);
  const auto second = kept.KeepFile(line, "Mail.lnk", "other bytes");
  REQUIRE(first);
  REQUIRE(second);
  CHECK(*first != *second);

  // The first kept item of a line that stands twice; the other is there for the other line.
  std::optional<KeptOriginal> found = kept.Find(line);
  REQUIRE(found);
  CHECK(found->id == *first);
  CHECK(found->is_file);
  CHECK(found->file_name == "Mail.lnk");
  CHECK(found->bytes == bytes);
  CHECK_FALSE(kept.Find("TARO=Mail#$#C:\\Mail\\mail.exe"));  // an edited line has none

  REQUIRE(kept.Drop(*first));
  CHECK(kept.Find(line)->bytes == "other bytes");
  REQUIRE(kept.Drop(*second));
  CHECK_FALSE(kept.Find(line));
  CHECK(FileNamesIn(kept.folder()).empty());
}

TEST_CASE("a kept item that is cut short or of no form is not used") {
  TempFolder folder;
  KeptOriginals kept(KeptFolderOf(folder.File("startup.txt")));
  const std::string line = "User@Tool=C:\\tool.exe";
  const auto id = kept.KeepValue(line, RegistryValue{kRegSz, StringToRegistryData("C:\\tool.exe")});
  REQUIRE(id);
  const std::string path = kept.folder() + (kept.folder().find('/') != std::string::npos ? "/" : "\\") + *id;
  const std::string whole = *ReadWholeFile(path);
  REQUIRE(WriteWholeFileReplacing(path, whole.substr(0, whole.size() - 1)));
  CHECK_FALSE(kept.Find(line));
  REQUIRE(WriteWholeFileReplacing(path, "line=" + line + "\r\n"));
  CHECK_FALSE(kept.Find(line));
  REQUIRE(WriteWholeFileReplacing(path, whole));
  CHECK(kept.Find(line));
}
