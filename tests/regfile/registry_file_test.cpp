#include <doctest.h>

#include "platform/file_io.h"
#include "platform/memory_registry.h"
#include "platform/scripted_prompt.h"
#include "regfile/regfile_test_support.h"
#include "regfile/registry_file.h"

using namespace orvela;
using orvela::testing::TempFolder;

namespace {

const std::string kHeader = "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n";

// One value as text for comparisons: type and data.
RegistryValue ValueAt(RegistryBackend& backend, RootKey root, std::string_view path,
                      std::string_view name) {
  auto key = backend.OpenKey(root, path, KeyAccess::kRead);
  if (!key) return {0xFFFFFFFF, {}};
  return key->ReadValue(name).value_or(RegistryValue{0xFFFFFFFF, {}});
}

RegistryValue Text(std::string_view text) { return {kRegSz, StringToRegistryData(text)}; }

struct Fixture {
  MemoryRegistry backend;
  ScriptedPrompt prompt;
  TRegistryFile file{backend, prompt};
  TempFolder folder;

  // Loads the bytes as a file; true when accepted.
  bool Load(std::string_view bytes, bool only_missing = false) {
    const std::string path = folder.File("load.reg");
    REQUIRE(WriteWholeFileReplacing(path, bytes));
    return file.LoadKeysFromFile(path, "", "", "", only_missing);
  }
};

}  // namespace

TEST_CASE("golden files are written byte for byte and load back") {
  struct Golden {
    const char* name;
    std::string_view bytes;
    void (*fill)(TRegistry&);
    std::vector<std::string> keys;
  };
  const Golden goldens[] = {
      {"all types", testing::kGoldenAllTypes, testing::FillAllTypes,
       {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run",
        "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"}},
      {"hyou", testing::kGoldenHyou, testing::FillHyou, {"HKEY_CURRENT_USER\\Software\\表"}},
      {"utf-8", testing::kGoldenUtf8, testing::FillUtf8,
       {"HKEY_CURRENT_USER\\Software\\Orvela Test"}},
  };
  for (const Golden& golden : goldens) {
    CAPTURE(golden.name);
    TempFolder folder;
    const std::string path = folder.File("regdata.reg");

    MemoryRegistry source;
    ScriptedPrompt prompt;
    TRegistry filler(source);
    golden.fill(filler);
    TRegistryFile writer(source, prompt);
    const SaveResult saved = writer.SaveKeysToFile(path, golden.keys);
    CHECK(saved.file_written);
    CHECK(ReadWholeFile(path) == std::string(golden.bytes));
    CHECK(prompt.shown().empty());

    // Into an empty registry, and written again from there: the same bytes.
    MemoryRegistry restored;
    TRegistryFile reader(restored, prompt);
    CHECK(reader.LoadKeysFromFile(path));
    CHECK(prompt.shown().empty());
    CHECK(reader.NotRestored().empty());
    const std::string again = folder.File("again.reg");
    CHECK(reader.SaveKeysToFile(again, golden.keys).file_written);
    CHECK(ReadWholeFile(again) == std::string(golden.bytes));
  }
}

TEST_CASE("a save tells whether the file holds everything") {
  Fixture f;
  const std::string path = f.folder.File("backup.reg");
  testing::FillAllTypes(f.file);

  SUBCASE("every type has a form: the save is complete") {
    const SaveResult saved =
        f.file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run",
                                     "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"});
    CHECK(saved.complete());
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("a key that cannot be opened: the warning, the other keys still saved (a read-only one too)") {
    f.backend.MakeReadOnly(RootKey::kCurrentUser, "Software\\Orvela Test\\Run\\Sub");
    const SaveResult saved = f.file.SaveKeysToFile(
        path, {"HKEY_CURRENT_USER\\Software\\Missing", "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys",
               "HKEY_CURRENT_USER\\Software\\Orvela Test\\Run", "NoRootHere"});
    CHECK(saved.file_written);
    CHECK(saved.keys_not_saved == std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Missing", "NoRootHere"});
    CHECK_FALSE(saved.complete());
    CHECK(f.prompt.messages() ==
          std::vector<std::string>{TRegistryFile::KeyNotOpenedText("HKEY_CURRENT_USER\\Software\\Missing", kErrorFileNotFound),
                                   TRegistryFile::KeyNotOpenedText("NoRootHere", kErrorFileNotFound)});
    CHECK(f.prompt.shown()[0].caption == "Orvela");
    CHECK(f.prompt.shown()[0].icon == PromptIcon::kWarning);
    const std::string bytes = *ReadWholeFile(path);
    CHECK(bytes.find("[HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys]") != std::string::npos);
    CHECK(bytes.find("\"Count\"=dword:0000001A") != std::string::npos);
    CHECK(bytes.find("[HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub]") != std::string::npos);
  }

  SUBCASE("names the file could not carry back are left out and reported") {
    REQUIRE(f.file.OpenKey("\\Software\\Odd]Key", true));
    REQUIRE(f.file.WriteString("v", "w"));
    REQUIRE(f.file.OpenKey("\\Software\\Two\r\nLines", true));
    REQUIRE(f.file.WriteString("v", "w"));
    REQUIRE(f.file.OpenKey("\\Software\\Orvela Test\\Keys", false));
    REQUIRE(f.file.WriteString("say \"hi\"", "w"));
    REQUIRE(f.file.WriteString("two\nlines", "w"));
    const SaveResult saved = f.file.SaveKeysToFile(
        path, {"HKEY_LOCAL_MACHINE\\Software\\Odd]Key", "HKEY_LOCAL_MACHINE\\Software\\Two\r\nLines",
               "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"});
    CHECK(saved.keys_not_saved == std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Odd]Key",
                                                           "HKEY_LOCAL_MACHINE\\Software\\Two\r\nLines"});
    CHECK(saved.values_not_saved ==
          std::vector<std::pair<std::string, std::string>>{
              {"HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys", "say \"hi\""},
              {"HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys", "two\nlines"}});
    const std::string bytes = *ReadWholeFile(path);
    CHECK(bytes.find("Odd]") == std::string::npos);
    CHECK(bytes.find("Two") == std::string::npos);
    CHECK(bytes.find("lines") == std::string::npos);
  }

  SUBCASE("a file that cannot be made: nothing written, the old one kept") {
    CHECK_FALSE(f.file.SaveKeysToFile(f.folder.File("no such folder/x.reg"),
                                      {"HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"})
                    .file_written);
    CHECK(f.prompt.shown().empty());
    SaveResult nothing = f.file.SaveKeysToFile(path, {});
    CHECK_FALSE(nothing.file_written);
    CHECK_FALSE(ReadWholeFile(path));
  }
}

TEST_CASE("lossless: every value comes back with its type and bytes") {
  // Named and as the default value, each in a key of its own.
  const std::vector<std::uint8_t> surrogate{0x3D, 0xD8, 'a', 0, 0, 0};  // a lone high surrogate
  std::vector<std::uint8_t> big(3000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 11);
  const RegistryValue values[] = {
      Text("plain"),
      Text(""),
      Text(" lead"),
      Text("trail\t"),
      Text("one\r\ntwo"),
      Text("bare\nfeed"),
      Text("cr\rhere"),
      Text("ends with a break\r\n"),
      Text("表 \" \\ [x] @ \"quoted\""),
      {kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}},  // cut at the NUL by the "..." form
      {kRegSz, {'a', 0}},                      // no terminator
      {kRegSz, {'a', 0, 'b'}},                 // odd length
      {kRegSz, surrogate},
      {kRegExpandSz, StringToRegistryData("%SystemRoot%\\system32")},
      {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
      {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {kRegNone, {}},
      {kRegNone, {0xFF}},
      {kRegDword, {1, 2, 3}},                  // a dword of the wrong size
      {kRegDword, {0x1A, 0, 0, 0}},
      {kRegDwordBigEndian, {0, 0, 0, 1}},
      {kRegLink, StringToRegistryData("\\Registry\\Machine")},
      {0x12345678, {1}},
      {kRegBinary, big},
      {kRegMultiSz, big},
  };
  MemoryRegistry source;
  TRegistry filler(source);
  filler.SetRootKey(RootKey::kCurrentUser);
  for (size_t i = 0; i < std::size(values); ++i) {
    REQUIRE(filler.OpenKey("\\Software\\L\\" + std::to_string(i), true));
    REQUIRE(filler.WriteValue("v", values[i]));
    REQUIRE(filler.WriteValue("", values[i]));
  }
  ScriptedPrompt prompt;
  TRegistryFile writer(source, prompt);
  TempFolder folder;
  const std::string path = folder.File("all.reg");
  CHECK(writer.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\L"}).complete());

  MemoryRegistry restored;
  TRegistryFile reader(restored, prompt);
  CHECK(reader.LoadKeysFromFile(path));
  CHECK(prompt.shown().empty());
  for (size_t i = 0; i < std::size(values); ++i) {
    CAPTURE(i);
    const std::string key = "Software\\L\\" + std::to_string(i);
    CHECK(ValueAt(restored, RootKey::kCurrentUser, key, "v") == values[i]);
    CHECK(ValueAt(restored, RootKey::kCurrentUser, key, "") == values[i]);
  }
  CHECK(writer.CheckKeysBytes(*ReadWholeFile(path)).sound());
}

TEST_CASE("files written by earlier versions load as they always did") {
  Fixture f;
  CHECK(f.Load(testing::FixtureBytes("regfile/fixtures/earlier_version.reg")));
  CHECK(f.prompt.shown().empty());
  const auto run = [&](std::string_view name) {
    return ValueAt(f.backend, RootKey::kCurrentUser, "Software\\Orvela Test\\Run", name);
  };
  CHECK(run("") == Text("既定値"));
  CHECK(run("Editor") == Text("\"C:\\Program Files\\A\\edit.exe\" /q"));
  CHECK(run("Path") == Text("%SystemRoot%\\system32"));  // that form held no type
  CHECK(run("Count") == RegistryValue{kRegDword, {26, 0, 0, 0}});
  CHECK(run("Nine").data.size() == 9);
  CHECK(run("None") == RegistryValue{kRegBinary, {}});
  CHECK(ValueAt(f.backend, RootKey::kCurrentUser, "Software\\Orvela Test\\Run\\Sub", "x") == Text("y"));
  CHECK(ValueAt(f.backend, RootKey::kLocalMachine, "Software\\Orvela Test\\Keys", "Lines") ==
        Text("one\r\ntwo"));
  // A multi-line default value keeps no trace of the closing line break written after it.
  CHECK(ValueAt(f.backend, RootKey::kLocalMachine, "Software\\Orvela Test\\Keys\\Default", "") ==
        Text("l1\r\nl2"));
}

TEST_CASE("reading: bodies, strings, numbers and binary data") {
  Fixture f;
  const std::string section = "\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n";
  auto value = [&](std::string_view name) {
    return ValueAt(f.backend, RootKey::kCurrentUser, "Software\\T", name);
  };

  SUBCASE("any first line, a comment line, text after a NUL ignored") {
    CHECK(f.Load("whatever\r\ncomment\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"a\"=\"1\"\r\n"
                 + std::string(1, '\0') + "\"b\"=\"2\"\r\n"));
    CHECK(value("a") == Text("1"));
    CHECK_FALSE(f.backend.OpenKey(RootKey::kCurrentUser, "Software\\T", KeyAccess::kRead)->ReadValue("b"));
    CHECK(f.prompt.shown().empty());
    CHECK(TRegistryFile::ReadFileBody("h\r\ncomment\r\n[x]").comment == "comment");
    CHECK(TRegistryFile::ReadFileBody("h\r\n[x]\r\n").comment.empty());
    CHECK(TRegistryFile::ReadFileBody("h\r\n[x]").body == "[x]");
  }

  SUBCASE("files without CR LF or without \"[\" are refused, the registry untouched") {
    for (std::string bytes :
         {kHeader.substr(0, kHeader.size() - 2) + "[HKEY_CURRENT_USER\\Software\\T]\n\"a\"=\"1\"\n",
          kHeader + "\r\n\"a\"=\"1\"\r\n", std::string(), std::string("\x81\r\n[HKEY_CURRENT_USER\\x]")}) {
      f.prompt.clear();
      CHECK_FALSE(f.Load(bytes));
      CHECK(f.prompt.messages() == std::vector<std::string>{"このファイルはレジストリ ファイルでは有りません！！"});
      CHECK(f.prompt.shown()[0].icon == PromptIcon::kWarning);
      CHECK(f.backend.CountKeys() == 0);
    }
    f.prompt.clear();
    CHECK_FALSE(f.file.LoadKeysFromFile(f.folder.File("missing.reg")));
    CHECK(f.prompt.messages().size() == 1);
  }

  SUBCASE("the expected comment decides; the check alone changes nothing") {
    const std::string path = f.folder.File("uninst.reg");
    REQUIRE(WriteWholeFileReplacing(path, kHeader + "Keep\r\n" + section + "\"a\"=\"1\"\r\n"));
    CHECK(f.file.CheckKeysFile(path, "Keep"));
    CHECK(f.backend.CountKeys() == 0);
    CHECK_FALSE(f.file.CheckKeysFile(path, "Other"));
    CHECK_FALSE(f.file.LoadKeysFromFile(path, "", "", "Other"));
    CHECK(f.prompt.messages() ==
          std::vector<std::string>(2, "uninst.reg このファイルは指定されたファイルでは有りません！！"));
    CHECK(f.backend.CountKeys() == 0);
    CHECK(f.file.LoadKeysFromFile(path, "", "", "Keep"));
    CHECK(value("a") == Text("1"));
  }

  SUBCASE("strings: escapes undone, trailing blanks dropped, default kept as written") {
    CHECK(f.Load(kHeader + section +
                 "\"a\"=\"C:\\\\x\\\\\\\"q\\\" \\n  \"\r\n"
                 "@=\"  lead and trail  \"\r\n"
                 "\"multi\"=\"one\r\ntwo\r\n\"\r\n"));
    CHECK(value("a") == Text("C:\\x\\\"q\" \\n"));
    CHECK(value("") == Text("  lead and trail  "));
    CHECK(value("multi") == Text("one\r\ntwo"));
  }

  SUBCASE("dwords and hexadecimal text") {
    CHECK(f.file.HexTextToInt("1A") == 26);
    CHECK(f.file.HexTextToInt("ffffFFFF") == 0xFFFFFFFFu);
    CHECK(f.file.HexTextToInt("") == 0);
    CHECK(f.prompt.shown().empty());
    CHECK(f.file.HexTextToInt("1G") == 0);
    CHECK(f.file.HexTextToInt("123456789") == 0);
    CHECK(f.prompt.messages() == std::vector<std::string>(2, "バイナリデータ変換エラー"));
    f.prompt.clear();

    CHECK(f.Load(kHeader + section +
                 "\"n\"=dword:0000001a\r\n\"bad\"=dword:0000001G\r\n\"long\"=dword:000000001\r\n"
                 "\"short\"=dword:7\r\n"));
    CHECK(value("n") == RegistryValue{kRegDword, {0x1A, 0, 0, 0}});
    CHECK(value("bad") == RegistryValue{kRegDword, {0, 0, 0, 0}});  // written as 0, as always
    CHECK(value("long").type == 0xFFFFFFFF);                        // too long: not written
    CHECK(value("short") == RegistryValue{kRegDword, {7, 0, 0, 0}});
    CHECK(f.prompt.messages() == std::vector<std::string>(2, "バイナリデータ変換エラー"));
  }

  SUBCASE("binary data: wrapped lines, a bad byte, empty, and a 3000-byte value whole") {
    std::vector<std::uint8_t> big(3000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    CHECK(f.Load(kHeader + section + "\"w\"=hex:01,02,\r\n03\r\n\"bad\"=hex:0Z,ff\r\n\"e\"=hex:\r\n" +
                 "\"big\"=hex:" + BinaryValueText(big) + "\"after\"=\"x\"\r\n"));
    CHECK(value("w") == RegistryValue{kRegBinary, {1, 2, 3}});
    CHECK(value("bad") == RegistryValue{kRegBinary, {0, 0xFF}});
    CHECK(value("e") == RegistryValue{kRegBinary, {}});
    CHECK(value("big") == RegistryValue{kRegBinary, big});
    CHECK(value("after") == Text("x"));
    CHECK(f.prompt.messages() == std::vector<std::string>{"バイナリデータ変換エラー"});
  }

  SUBCASE("values of an unreadable section line go nowhere") {
    CHECK(f.Load(kHeader + "\r\n[NoBackslash]\r\n\"a\"=\"1\"\r\n@=\"d\"\r\n" + section + "\"b\"=\"2\"\r\n"));
    CHECK(f.prompt.messages() == std::vector<std::string>(3, "バイナリデータ変換エラー"));
    CHECK(f.backend.CountKeys() == 2);  // Software and Software\T only
    CHECK(value("b") == Text("2"));
    CHECK(value("a").type == 0xFFFFFFFF);
    CHECK(value("").type == 0xFFFFFFFF);
  }

  SUBCASE("a type without an entry is passed over; a cut-off file ends the load") {
    CHECK(f.Load(kHeader + section + "\"q\"=qword:01\r\n\"a\"=\"1\"\r\n\"cut\"=\"never clo"));
    CHECK(value("a") == Text("1"));
    CHECK(value("q").type == 0xFFFFFFFF);
    CHECK(value("cut").type == 0xFFFFFFFF);
    CHECK(f.prompt.messages() == std::vector<std::string>{"バイナリデータ変換エラー"});
  }

  SUBCASE("unknown roots are skipped silently and reported") {
    // The empty root name first: no root is current before it.
    CHECK(f.Load(kHeader + "\r\n[\\Software\\T]\r\n\"b\"=\"2\"\r\n"
                 "[HKEY_NOWHERE\\Software\\T]\r\n\"a\"=\"1\"\r\n"));
    CHECK(f.prompt.shown().empty());
    CHECK(f.backend.CountKeys() == 0);
    CHECK(f.file.NotRestored() ==
          std::vector<std::string>{"\\Software\\T", "HKEY_NOWHERE\\Software\\T"});
  }

  SUBCASE("a key prefix puts every section below it") {
    const std::string path = f.folder.File("p.reg");
    REQUIRE(WriteWholeFileReplacing(path, kHeader + section + "\"a\"=\"1\"\r\n"));
    CHECK(f.file.LoadKeysFromFile(path, "\\Backup"));
    CHECK(ValueAt(f.backend, RootKey::kCurrentUser, "Backup\\Software\\T", "a") == Text("1"));
    CHECK_FALSE(f.backend.KeyExists(RootKey::kCurrentUser, "Software\\T"));
  }
}

TEST_CASE("a damaged file never writes a value into another key") {
  Fixture f;
  const auto at = [&](std::string_view key, std::string_view name) {
    return ValueAt(f.backend, RootKey::kCurrentUser, key, name);
  };
  const auto names = [&](std::string_view key) {
    auto open = f.backend.OpenKey(RootKey::kCurrentUser, key, KeyAccess::kRead);
    return open ? *open->ValueNames() : std::vector<std::string>{};
  };
  const std::vector<std::string> warning{"バイナリデータ変換エラー"};

  SUBCASE("a type word whose \":\" is not on its line") {
    CHECK(f.Load(testing::FixtureBytes("regfile/fixtures/colon_across_lines.reg")));
    CHECK(f.prompt.messages() == std::vector<std::string>(2, warning[0]));
    CHECK(names("Software\\T").empty());
    CHECK(at("Software\\Other", "c") == RegistryValue{kRegDword, {1, 0, 0, 0}});
    CHECK(at("Software\\Other", "d") == Text("C:\\x"));
  }

  SUBCASE("a section line without its \"]\" is skipped with its values") {
    CHECK(f.Load(testing::FixtureBytes("regfile/fixtures/section_unclosed.reg")));
    CHECK(f.prompt.messages() == warning);
    CHECK(names("Software\\T") == std::vector<std::string>{"keep"});
    CHECK(names("Software\\Other") == std::vector<std::string>{"y"});
    CHECK(f.backend.CountKeys() == 3);  // Software, T, Other: no key named after lines
  }

  SUBCASE("wrapped data that runs into a section, a name that runs into the next line") {
    CHECK(f.Load(testing::FixtureBytes("regfile/fixtures/wrap_into_section.reg")));
    CHECK(f.prompt.messages() == std::vector<std::string>(2, warning[0]));
    CHECK(at("Software\\T", "a") == RegistryValue{kRegBinary, {1, 2}});
    CHECK(at("Software\\T", "d") == Text("y"));
    CHECK(names("Software\\Other") == std::vector<std::string>{"b"});
  }

  SUBCASE("hex(N) with a bad type number: warned, not written") {
    CHECK(f.Load(kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"a\"=hex(zz):01\r\n"
                 "\"b\"=hex(123456789):01\r\n\"c\"=hex(:01\r\n\"d\"=hex(B):01,02\r\n@=hex(4):01,00,00,00\r\n"));
    CHECK(f.prompt.messages() == std::vector<std::string>(3, warning[0]));
    CHECK(names("Software\\T") == std::vector<std::string>{"d", ""});
    CHECK(at("Software\\T", "d") == RegistryValue{kRegQword, {1, 2}});
    CHECK(at("Software\\T", "") == RegistryValue{kRegDword, {1, 0, 0, 0}});
  }
}

TEST_CASE("a check reads the whole file and shows nothing") {
  Fixture f;
  testing::FillAllTypes(f.file);
  SaveResult saved;
  const std::string good = f.file.KeysFileBytes(
      {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run", "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"},
      {}, saved);
  const size_t keys = f.backend.CountKeys();

  const KeysFileCheck check = f.file.CheckKeysBytes(good);
  CHECK(check.sound());
  REQUIRE(check.sections.size() == 3);
  CHECK(check.sections[1].key == "HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub");
  const KeysFileCheck::Section* run = check.Find("hkey_current_user\\software\\orvela test\\run");
  REQUIRE(run);
  CHECK(run->values.size() == 13);
  CHECK(run->values[3] == std::pair<std::string, RegistryValue>{
                              "Path", {kRegExpandSz, StringToRegistryData("%A%\\b")}});

  SUBCASE("what a load passes over or warns about is a fault") {
    const size_t second = good.find("\r\n[HKEY_LOCAL_MACHINE");
    const std::string damaged[] = {
        good.substr(0, good.size() - 2),                              // last line cut
        good.substr(0, 300) + std::string(64, '\0') + good.substr(364),  // a zeroed block
        good.substr(0, second) + "\r\nX\r\n" + good.substr(second),   // a stray line
        "Other header" + good.substr(good.find("\r\n")),
        kHeader + "comment\r\n" + good.substr(kHeader.size()),        // a comment not asked for
        good + "\"late\"=\"one\r\ntwo\"\r\n",                         // a string over two lines
        good + "[HKEY_CURRENT_USER\\Software\\Unclosed\r\n",
        good + "[HKEY_NOWHERE\\Software\\X]\r\n",
        good + "\"q\"=qword:01\r\n",
        good + "\"n\"=dword:1G\r\n",
        kHeader + "\r\n\"a\"=\"before any section\"\r\n[HKEY_CURRENT_USER\\X]\r\n",
    };
    for (const std::string& bytes : damaged) {
      CAPTURE(bytes);
      const KeysFileCheck result = f.file.CheckKeysBytes(bytes);
      CHECK(result.accepted);
      CHECK(result.faults > 0);
    }
    CHECK_FALSE(f.file.CheckKeysBytes("X").accepted);
    CHECK_FALSE(f.file.CheckKeysBytes(kHeader + "no section\r\n").accepted);
    CHECK(f.file.CheckKeysBytes(kHeader + "Keep\r\n" + good.substr(kHeader.size()), "Keep").sound());
    CHECK(f.prompt.shown().empty());
    CHECK(f.backend.CountKeys() == keys);
  }
}

TEST_CASE("a checked file beside the registry: sections outside given keys, entries not as saved") {
  Fixture f;
  testing::FillAllTypes(f.file);
  SaveResult saved;
  const std::string path = "\\Software\\Orvela Test\\Run", run = "HKEY_CURRENT_USER" + path;
  const std::string keys = "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys";
  const KeysFileCheck check = f.file.CheckKeysBytes(f.file.KeysFileBytes({run, keys}, {}, saved));
  CHECK(check.SectionsOutside({"hkey_current_user\\software\\orvela test", keys.substr(0, keys.size() - 1)}) ==
        std::vector<std::string>{keys});
  CHECK(f.file.NotAsSaved(check).empty());

  f.file.SetRootKey(RootKey::kCurrentUser);
  REQUIRE(f.file.OpenKey(path, false));
  REQUIRE(f.file.WriteValue("", {kRegExpandSz, StringToRegistryData("既定値")}));  // only the type differs
  REQUIRE(f.file.DeleteValue("Nine"));
  REQUIRE(f.file.WriteString("Since", "not in the file"));
  REQUIRE(f.file.DeleteKey(path + "\\Sub"));
  CHECK(f.file.NotAsSaved(check) == std::vector<std::string>{run + " : (既定)", run + " : Nine", run + "\\Sub"});
}

TEST_CASE("only missing keys: existing keys untouched, deleted ones come back whole") {
  Fixture f;
  testing::FillAllTypes(f.file);
  const std::string path = f.folder.File("regdata.reg");
  // A value with a lone quote comes first: passing over its section must not lose track.
  f.file.SetRootKey(RootKey::kCurrentUser);
  REQUIRE(f.file.OpenKey("\\Software\\Orvela Test\\Run", false));
  REQUIRE(f.file.WriteString("Quoted", "5\" disk, see [HKEY_CURRENT_USER\\Evil] \\"));
  REQUIRE(f.file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run",
                                       "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"})
              .file_written);

  f.file.SetRootKey(RootKey::kCurrentUser);
  REQUIRE(f.file.OpenKey("\\Software\\Orvela Test\\Run", false));
  REQUIRE(f.file.WriteString("Editor", "changed"));
  REQUIRE(f.file.DeleteValue("Count"));
  f.file.SetRootKey(RootKey::kLocalMachine);
  REQUIRE(f.file.DeleteKey("\\Software\\Orvela Test\\Keys"));
  const size_t keys_before = f.backend.CountKeys();

  CHECK(f.file.LoadKeysFromFile(path, "", "", "", true));
  CHECK(f.prompt.shown().empty());
  const auto run = [&](std::string_view name) {
    return ValueAt(f.backend, RootKey::kCurrentUser, "Software\\Orvela Test\\Run", name);
  };
  CHECK(run("Editor") == Text("changed"));
  CHECK(run("Count").type == 0xFFFFFFFF);
  CHECK(ValueAt(f.backend, RootKey::kLocalMachine, "Software\\Orvela Test\\Keys", "Lines") ==
        Text("one\r\ntwo\r\n"));
  CHECK(f.backend.CountKeys() == keys_before + 1);
  CHECK_FALSE(f.backend.KeyExists(RootKey::kCurrentUser, "Evil"));

  SUBCASE("without the flag everything is written back") {
    CHECK(f.file.LoadKeysFromFile(path));
    CHECK(run("Editor") == Text("\"C:\\Program Files\\A\\edit.exe\" /q"));
    CHECK(run("Count") == RegistryValue{kRegDword, {26, 0, 0, 0}});
    CHECK(run("Path") == RegistryValue{kRegExpandSz, StringToRegistryData("%A%\\b")});
    CHECK(run("Quoted") == Text("5\" disk, see [HKEY_CURRENT_USER\\Evil] \\"));
  }
}

TEST_CASE("root names both ways; other handles and names have none") {
  const std::pair<RootKey, const char*> table[] = {
      {RootKey::kClassesRoot, "HKEY_CLASSES_ROOT"},   {RootKey::kCurrentUser, "HKEY_CURRENT_USER"},
      {RootKey::kLocalMachine, "HKEY_LOCAL_MACHINE"}, {RootKey::kUsers, "HKEY_USERS"},
      {RootKey::kCurrentConfig, "HKEY_CURRENT_CONFIG"}, {RootKey::kDynData, "HKEY_DYN_DATA"}};
  for (const auto& [key, name] : table) {
    CHECK(TRegistryFile::RootKeyToName(key) == name);
    CHECK(TRegistryFile::RootNameToKey(name) == key);
  }
  CHECK(static_cast<std::uint32_t>(RootKey::kDynData) == 0x80000006u);
  CHECK(TRegistryFile::RootKeyToName(RootKey::kPerformanceData).empty());
  CHECK(TRegistryFile::RootNameToKey("HKCU") == RootKey::kNone);
  CHECK(TRegistryFile::RootNameToKey("hkey_current_user") == RootKey::kNone);
}
