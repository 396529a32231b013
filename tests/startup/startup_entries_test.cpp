#include <doctest.h>

#include "platform/memory_registry.h"
#include "startup/startup_entries.h"

using namespace orvela;
using namespace std::literals;

namespace {

std::string Utf16Bytes(std::u16string_view text, bool terminate = true) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  if (terminate) bytes.append(2, '\0');
  return bytes;
}

RunValue Value(std::string name, uint32_t type, std::string_view data) {
  return RunValue{std::move(name), RegistryValue{type, std::vector<uint8_t>(data.begin(), data.end())}};
}

std::string Text(uint32_t type, std::string_view data) {
  return RunValueText(Value("", type, data).value);
}

}  // namespace

TEST_CASE("Run values of every type show what they hold") {
  CHECK(Text(kRegSz, Utf16Bytes(u"\"C:\\表\\a.exe\" /x")) == "\"C:\\表\\a.exe\" /x");
  CHECK(Text(kRegSz, Utf16Bytes(u"no zero", false)) == "no zero");
  CHECK(Text(kRegSz, Utf16Bytes(u"abc", false) + "\x01") == "abc");  // odd size
  CHECK(Text(kRegExpandSz, Utf16Bytes(u"%windir%\\x.exe")) == "%windir%\\x.exe");
  CHECK(Text(kRegMultiSz, Utf16Bytes(u"one\0two\0"sv)) == "one two");
  CHECK(Text(kRegDword, std::string("\x2A\x01\x00\x00", 4)) == "298");
  CHECK(Text(kRegDword, std::string("\xFF\xFF\xFF\xFF", 4)) == "4294967295");
  CHECK(Text(kRegDwordBigEndian, std::string("\x00\x00\x01\x2A", 4)) == "298");
  CHECK(Text(kRegQword, std::string("\x00\x00\x00\x00\x01\x00\x00\x00", 8)) ==
        "4294967296");
  CHECK(Text(kRegBinary, std::string("\x00\xAB\x7F", 3)) == "00 AB 7F");
  CHECK(Text(kRegDword, std::string("\x01\x02", 2)) == "01 02");  // short
  CHECK(Text(0x1234, "xy") == "78 79");
}

TEST_CASE("entry names drop the folder and the last extension") {
  CHECK(EntryNameOf("C:\\Users\\a\\Startup\\desktop.ini") == "desktop");
  CHECK(EntryNameOf("C:\\S\\メール.exe.lnk") == "メール.exe");
  CHECK(EntryNameOf("C:\\S\\README") == "README");
  CHECK(EntryNameOf("C:\\S.d\\noext") == "noext");
  CHECK(EntryNameOf("C:\\S\\.hidden") == ".hidden");
}

TEST_CASE("the collection keeps the sources' order and every row") {
  const std::vector<FolderItem> folders = {
      {"C:\\Users\\All Users\\Startup\\desktop.ini", 0},
      {"C:\\Users\\taro\\Startup\\メール.lnk", 2},
  };
  const std::vector<RunValue> user_run = {Value("Tray", kRegSz, Utf16Bytes(u"C:\\t\\tray.exe")),
                                          Value("Env", kRegExpandSz, Utf16Bytes(u"%ProgramFiles%\\e.exe"))};
  const std::vector<RunValue> machine_run = {Value("Flag", kRegDword, std::string("\x05\0\0\0", 4)),
                                             Value("Tray", kRegBinary, std::string("\x01\x02", 2))};
  const std::vector<RunValue> machine_once = {Value("Setup", kRegMultiSz, Utf16Bytes(u"setup.exe\0/q\0"sv))};

  const auto rows = CollectStartupEntries(folders, {user_run, machine_run, machine_once});
  REQUIRE(rows.size() == 7);
  struct Expected {
    int32_t key;
    const char* kind;
    const char* name;
    const char* command;
  };
  const Expected expected[] = {
      {0, "", "desktop", "C:\\Users\\All Users\\Startup\\desktop.ini"},
      {2, "", "メール", "C:\\Users\\taro\\Startup\\メール.lnk"},
      {kUserRunKey, "", "Tray", "C:\\t\\tray.exe"},
      {kUserRunKey, "", "Env", "%ProgramFiles%\\e.exe"},
      {kMachineKey, "Run", "Flag", "5"},
      {kMachineKey, "Run", "Tray", "01 02"},
      {kMachineKey, "RunOnce", "Setup", "setup.exe /q"},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    CAPTURE(i);
    CHECK(rows[i].Key == expected[i].key);
    CHECK(rows[i].Kind == expected[i].kind);
    CHECK(rows[i].Name == expected[i].name);
    CHECK(rows[i].Command == expected[i].command);
    CHECK(rows[i].Location.empty());
    CHECK_FALSE(rows[i].Missing);
  }
  CHECK(kUserRunKey == -2147483647);
  CHECK(kMachineKey == -2147483646);
  CHECK(IsRegistryEntry(rows[2]));
  CHECK_FALSE(IsRegistryEntry(rows[0]));

  SUBCASE("the selection returns to the last row of the remembered name") {
    CHECK(RowToReselect(rows, "Tray") == 5);
    CHECK(RowToReselect(rows, "desktop") == 0);
    CHECK(RowToReselect(rows, "tray") == -1);  // byte-exact
    CHECK(RowToReselect(rows, "") == -1);
    CHECK(RowToReselect({}, "Tray") == -1);
  }
}

TEST_CASE("Run keys are read without creating them") {
  MemoryRegistry registry;
  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  {
    auto key = registry.OpenKey(RootKey::kLocalMachine, run, KeyAccess::kCreate);
    REQUIRE(key);
    key->WriteValue("Tray", Value("", kRegSz, Utf16Bytes(u"C:\\t\\tray.exe")).value);
    key->WriteValue("Env", Value("", kRegExpandSz, Utf16Bytes(u"%windir%\\e.exe")).value);
  }
  const size_t keys_before = registry.CountKeys();

  const auto values = ReadRunKey(registry, RootKey::kLocalMachine, run);
  REQUIRE(values.size() == 2);
  const auto rows = CollectStartupEntries({}, {{}, values});
  CHECK(rows[0].Name == "Tray");
  CHECK(rows[0].Command == "C:\\t\\tray.exe");
  CHECK(rows[1].Command == "%windir%\\e.exe");

  CHECK(ReadRunKey(registry, RootKey::kCurrentUser, run).empty());
  CHECK(registry.CountKeys() == keys_before);
  // A key the user may read but not change is listed whole.
  registry.MakeReadOnly(RootKey::kLocalMachine, run);
  CHECK(ReadRunKey(registry, RootKey::kLocalMachine, run).size() == 2);
}
