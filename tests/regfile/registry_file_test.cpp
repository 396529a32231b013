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
  auto key = backend.OpenKey(root, path, false);
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

  SUBCASE("types without an entry are named, the rest is complete") {
    const SaveResult saved =
        f.file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run"});
    CHECK(saved.file_written);
    CHECK(saved.keys_not_saved.empty());
    REQUIRE(saved.values_not_saved.size() == 1);
    CHECK(saved.values_not_saved[0].first == "HKEY_CURRENT_USER\\Software\\Orvela Test\\Run");
    CHECK(saved.values_not_saved[0].second == "Multi");
    CHECK_FALSE(saved.complete());
    CHECK(f.file.SaveKeysToFile(path, {"HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"}).complete());
  }

  SUBCASE("a key that cannot be opened: the warning, the other keys still saved") {
    f.backend.DenyFullAccess("Software\\Orvela Test\\Run\\Sub");
    const SaveResult saved = f.file.SaveKeysToFile(
        path, {"HKEY_CURRENT_USER\\Software\\Missing", "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys",
               "HKEY_CURRENT_USER\\Software\\Orvela Test\\Run", "NoRootHere"});
    CHECK(saved.file_written);
    CHECK(saved.keys_not_saved ==
          std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Missing",
                                   "HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub", "NoRootHere"});
    CHECK_FALSE(saved.complete());
    CHECK(f.prompt.messages() == std::vector<std::string>(3, "OpenKey Error"));
    CHECK(f.prompt.shown()[0].caption == "Orvela");
    CHECK(f.prompt.shown()[0].icon == PromptIcon::kWarning);
    const std::string bytes = *ReadWholeFile(path);
    CHECK(bytes.find("[HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys]") != std::string::npos);
    CHECK(bytes.find("\"Count\"=dword:0000001A") != std::string::npos);
  }

  SUBCASE("a default value that is no string is left out and reported") {
    f.file.SetRootKey(RootKey::kCurrentUser);
    REQUIRE(f.file.OpenKey("\\Software\\Orvela Test\\Run\\Sub", false));
    REQUIRE(f.file.WriteInteger("", 5));
    const SaveResult saved =
        f.file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub"});
    CHECK(saved.file_written);
    CHECK(saved.values_not_saved ==
          std::vector<std::pair<std::string, std::string>>{
              {"HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub", ""}});
    CHECK(f.prompt.messages().size() == 1);
    CHECK(*ReadWholeFile(path) ==
          kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub]\r\n\"x\"=\"y\"\r\n");
  }

  SUBCASE("names the file could not carry back are left out and reported") {
    REQUIRE(f.file.OpenKey("\\Software\\Odd]Key", true));
    REQUIRE(f.file.WriteString("v", "w"));
    REQUIRE(f.file.OpenKey("\\Software\\Orvela Test\\Keys", false));
    REQUIRE(f.file.WriteString("say \"hi\"", "w"));
    const SaveResult saved = f.file.SaveKeysToFile(
        path, {"HKEY_LOCAL_MACHINE\\Software\\Odd]Key", "HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys"});
    CHECK(saved.keys_not_saved == std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Odd]Key"});
    CHECK(saved.values_not_saved.size() == 1);
    CHECK(ReadWholeFile(path)->find("Odd]") == std::string::npos);
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
    CHECK_FALSE(f.backend.OpenKey(RootKey::kCurrentUser, "Software\\T", false)->ReadValue("b"));
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
    // A multi-line default value keeps no trace of the writer's closing line break.
    f.file.OpenKey("\\Software\\T", false);
    f.file.WriteString("", "l1\r\nl2");
    const std::string path = f.folder.File("d.reg");
    f.file.SaveKeysToFile(path, {"HKEY_CURRENT_USER\\Software\\T"});
    CHECK(ReadWholeFile(path)->find("@=\"l1\r\nl2\r\n\"\r\n") != std::string::npos);
    MemoryRegistry other;
    TRegistryFile reader(other, f.prompt);
    CHECK(reader.LoadKeysFromFile(path));
    CHECK(ValueAt(other, RootKey::kCurrentUser, "Software\\T", "") == Text("l1\r\nl2"));
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
        Text("one\r\ntwo"));
  CHECK(f.backend.CountKeys() == keys_before + 1);
  CHECK_FALSE(f.backend.KeyExists(RootKey::kCurrentUser, "Evil"));

  SUBCASE("without the flag everything is written back; expandable strings as strings") {
    CHECK(f.file.LoadKeysFromFile(path));
    CHECK(run("Editor") == Text("\"C:\\Program Files\\A\\edit.exe\" /q"));
    CHECK(run("Count") == RegistryValue{kRegDword, {26, 0, 0, 0}});
    CHECK(run("Path") == Text("%SystemRoot%\\system32"));
    CHECK(run("Quoted") == Text("5\" disk, see [HKEY_CURRENT_USER\\Evil] \\"));
    CHECK(run("Multi") == RegistryValue{kRegMultiSz, {'a', 0, 0, 0, 0, 0}});  // untouched
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
