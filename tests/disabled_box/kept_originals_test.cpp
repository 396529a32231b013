#include <doctest.h>

#include "disabled_box/kept_originals.h"
#include "platform/file_io.h"
#include "regfile/regfile_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("kept items: new numbers, read back whole with their attributes and time; cut or misnamed ones are refused") {
  TempFolder folder;
  KeptOriginals kept(KeptFolderOf(folder.File("sendto.txt")));
  const std::string line = "Ann@#@desktop=" + folder.File("desktop.ini");
  const std::string bytes("[.ShellClassInfo]\r\n\0\xFF", 21);
  const FileMetadata metadata{0x26, 125911584000000000};

  const auto first = kept.Write(KeptFile(line, "desktop.ini", bytes, metadata), KeptState::kKept);
  const auto second = kept.Write(KeptValue(line, RegistryValue{kRegSz, {0x41, 0, 0, 0}}), KeptState::kKept);
  const auto third = kept.Write(KeptNothing(line), KeptState::kKept);
  REQUIRE((first && second && third));
  CHECK(kept.ItemsOf(line) == std::vector<std::string>{*first, *second, *third});
  const auto file = kept.Read(*first);
  REQUIRE(file);
  CHECK((file->kind == KeptKind::kFile && file->line == line && file->bytes == bytes && file->metadata == metadata));
  CHECK(kept.Read(*second)->value == RegistryValue{kRegSz, {0x41, 0, 0, 0}});
  CHECK(kept.Read(*third)->kind == KeptKind::kNothing);

  // A cut item would give back less than there was; a name that leads out of its folder
  // (a damaged or tampered item) would write elsewhere.
  const std::string path = *PathInFolder(kept.folder(), *first);
  const std::string whole = *ReadWholeFile(path);
  REQUIRE(WriteWholeFileReplacing(path, whole.substr(0, whole.size() - 1)));
  CHECK_FALSE(kept.Read(*first));
  for (const char* name : {"..\\x.lnk", "a/b.lnk", "..", " . ", "C:x.lnk", ""}) {
    CAPTURE(name);
    CHECK_FALSE(ParseKeptItem(FormatKeptItem(KeptFile(line, name, "x", std::nullopt))));
  }
}

TEST_CASE("pairing by names: the k-th line of a text owns its k-th kept item, else none is used") {
  const std::vector<std::string> lines = {"User@A=a.exe", "taro=M#$#m.exe", "User@A=a.exe"};
  CHECK(PairKeptItem(lines, 0, {}).status == KeptPairing::Status::kNone);

  // The names the program gives: written for each line in turn, then paired by name only.
  TempFolder folder;
  KeptOriginals kept(folder.File("kept"));
  for (const std::string& line : lines) REQUIRE(kept.Write(KeptNothing(line), KeptState::kKept));
  std::vector<std::string> names = FileNamesIn(kept.folder());
  const auto first = PairKeptItem(lines, 0, names), again = PairKeptItem(lines, 2, names);
  CHECK((first.status == KeptPairing::Status::kOwned && first.id.starts_with("1.")));
  CHECK((again.status == KeptPairing::Status::kOwned && again.id.starts_with("3.")));
  CHECK(PairKeptItem(lines, 1, names).id.starts_with("2."));

  // Items in no state of their own do not count; one kept item too many or too few: unsure.
  const std::string a_key = first.id.substr(first.id.find('.'), 17);
  names.push_back("7" + a_key + ".pending");
  names.push_back("8" + a_key + ".leaving");
  names.push_back("9" + a_key + ".unsure");
  names.push_back("6." + std::string(16, '0') + ".kept");
  CHECK(PairKeptItem(lines, 2, names).id == again.id);
  names.push_back("10" + a_key + ".kept");
  CHECK(PairKeptItem(lines, 0, names).status == KeptPairing::Status::kUnsure);
  CHECK(PairKeptItem({lines[0]}, 0, names).status == KeptPairing::Status::kUnsure);
  CHECK(PairKeptItem(lines, 1, names).status == KeptPairing::Status::kOwned);
}
