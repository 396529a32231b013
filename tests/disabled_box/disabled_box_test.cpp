#include <doctest.h>

#include "platform/file_io.h"
#include "disabled_box/disabled_box.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("Disabled Box lines are written in their forms, and only when they read back the same") {
  const ProfileLocations locations = TestLocations();
  const int taro = *locations.ProfileIndexOf("taro");
  CHECK(RegistryEntryLine(RunRow(0, "Tool", "C:\\Tools\\tool.exe /q"), locations) ==
        "User@Tool=C:\\Tools\\tool.exe /q");
  CHECK(RegistryEntryLine(RunRow(1, "Agent", "\"C:\\A b\\a.exe\" -s=1"), locations) ==
        "Machine@Agent=\"C:\\A b\\a.exe\" -s=1");
  CHECK(RegistryEntryLine(RunRow(2, "Setup", "setup.exe"), locations) ==
        "MachineOnce@Setup=setup.exe");
  CHECK(RegistryEntryLine(RunRow(0, "", "default.exe"), locations) == "User@=default.exe");
  CHECK(RegistryEntryLine(RunRow(0, "a@b#c", "x.exe"), locations) == "User@a@b#c=x.exe");
  CHECK_FALSE(RegistryEntryLine(FolderRow(0, "Mail", "C:\\x\\Mail.lnk"), locations));

  CHECK(FolderEntryLine(locations, taro, "Mail", "C:\\Mail\\mail.exe", false) ==
        "taro=Mail#$#C:\\Mail\\mail.exe");
  CHECK(FolderEntryLine(locations, locations.all_users_index(), "Scan", "14001F50", true) ==
        "All Users=Scan@@@14001F50");
  CHECK(FolderEntryLine(locations, taro, "Odd#", "C:\\a#$#b.exe", false) ==
        "taro=Odd##$#C:\\a#$#b.exe");

  SUBCASE("names that run into a marker or a separator are refused") {
    for (const char* name : {"a=b", "a#$#b", "a@@@b"}) {
      CAPTURE(name);
      CHECK_FALSE(FolderEntryLine(locations, taro, name, "C:\\x.exe", false));
      CHECK_FALSE(FolderEntryLine(locations, taro, name, "0400AB00", true));
    }
    // "Tool#$" + "#$#" reads back as "Tool"; "Tool@" + "@@@" as "Tool". Each fits the
    // other form.
    CHECK_FALSE(FolderEntryLine(locations, taro, "Tool#$", "C:\\x.exe", false));
    CHECK(FolderEntryLine(locations, taro, "Tool#$", "0400AB00", true));
    for (const char* name : {"Tool@", "Tool@@"}) {
      CAPTURE(name);
      CHECK_FALSE(FolderEntryLine(locations, taro, name, "0400AB00", true));
      CHECK(FolderEntryLine(locations, taro, name, "C:\\x.exe", false));
    }
    CHECK_FALSE(RegistryEntryLine(RunRow(0, "a=b", "x.exe"), locations));
    CHECK_FALSE(FolderEntryLine(locations, 99, "Mail", "C:\\x.exe", false));
  }
  SUBCASE("a control character anywhere is refused") {
    for (const std::string& text : {std::string("a\r\nb"), std::string("a\0b", 3)}) {
      CAPTURE(text);
      CHECK_FALSE(RegistryEntryLine(RunRow(0, text, "x.exe"), locations));
      CHECK_FALSE(RegistryEntryLine(RunRow(0, "Tool", text), locations));
      CHECK_FALSE(FolderEntryLine(locations, taro, "Mail", text, false));
    }
  }
}

TEST_CASE("Records of the Disabled Box view, one per line in line order") {
  const ProfileLocations locations = TestLocations();
  const std::vector<std::string> lines = {
      "User@Tool=\"C:\\Tools\\tool.exe\" /q=1",
      "Machine@Agent=C:\\A\\agent.exe",
      "MachineOnce@Setup=C:\\S\\setup.exe",
      "taro=Mail#$#C:\\Mail\\mail.exe",
      "ALL USERS=Scanner@@@0400AB00",
      "HANAKO=Odd#$#C:\\a@@@b.exe",
  };
  const std::vector<EntryRecord> rows = DisabledBoxRecords(lines, locations);
  REQUIRE(rows.size() == lines.size());

  CHECK(rows[0].Key == kUserRunKey);
  CHECK(rows[0].Kind.empty());
  CHECK(rows[0].Name == "Tool");
  CHECK(rows[0].Command == "\"C:\\Tools\\tool.exe\" /q=1");
  CHECK(rows[0].Location.empty());
  CHECK((rows[1].Key == kMachineKey && rows[1].Kind == "Run" && rows[1].Name == "Agent"));
  CHECK((rows[2].Key == kMachineKey && rows[2].Kind == "RunOnce" && rows[2].Name == "Setup"));

  CHECK(rows[3].Key == locations.ProfileIndexOf("taro"));
  CHECK(rows[3].Name == "Mail");
  CHECK(rows[3].Command == "C:\\Mail\\mail.exe");
  CHECK(rows[3].Location == StartupOf("taro"));
  CHECK_FALSE(rows[3].ItemIdForm);

  // Profile names in another case still find their profile; All Users returns to the
  // shell's common Startup folder.
  CHECK(rows[4].Key == locations.all_users_index());
  CHECK(rows[4].ItemIdForm);
  CHECK(rows[4].Command == "0400AB00");
  CHECK(rows[4].Location == kCommonStartup);
  CHECK(rows[5].Key == locations.ProfileIndexOf("hanako"));
  CHECK(rows[5].Command == "C:\\a@@@b.exe");

  for (const EntryRecord& row : rows) {
    CHECK_FALSE(row.Missing);
    CHECK_FALSE(row.Unrecognised);
  }
  CHECK(DisabledBoxRecords({}, locations).empty());
}

TEST_CASE("Lines of no form are kept and shown as they are") {
  const ProfileLocations locations = TestLocations();
  for (const std::string line : {"jiro=Gone#$#C:\\g.exe",  // profile no longer there
                                 "taro=NoMarker",          // profile line without a marker
                                 "user@lower=x.exe",       // not a prefix the program writes
                                 "Someone@Tool=x.exe",     // nor this one
                                 "no separator at all",
                                 ""}) {
    CAPTURE(line);
    const EntryRecord row = DisabledBoxRecord(line, locations);
    CHECK(row.Unrecognised);
    CHECK(row.Key == 0);
    CHECK(row.Command == line);
    CHECK(row.Name == line.substr(0, line.find('=')));
  }
}

TEST_CASE("Disabled Box file in code page 932: a trail byte 0x5C is no backslash") {
  TempFolder folder;
  const std::string path = folder.File("startup.txt");
  // User@表=C:\表\a.exe and taro=表#$#C:\表.exe, 表 being 0x95 0x5C.
  REQUIRE(WriteWholeFileReplacing(path,
                                  "User@\x95\x5C=C:\\\x95\x5C\\a.exe\r\n"
                                  "taro=\x95\x5C#$#C:\\\x95\x5C.exe\r\n"));
  const auto rows = DisabledBoxRecords(LoadLineList(path).lines, TestLocations());
  REQUIRE(rows.size() == 2);
  CHECK(rows[0].Name == "表");
  CHECK(rows[0].Command == "C:\\表\\a.exe");
  CHECK(rows[1].Name == "表");
  CHECK(rows[1].Command == "C:\\表.exe");
}

TEST_CASE("SendTo lines both ways") {
  const SendToLine shortcut{"taro", "Notes", true, false, "C:\\Notes\\notes.exe"};
  CHECK(FormatSendToLine(shortcut) == "taro@#@Notes=lnkC:\\Notes\\notes.exe");
  const SendToLine item{"taro", "Box", true, true, "14001F50"};
  CHECK(FormatSendToLine(item) == "taro@#@Box=lnk@@@14001F50");
  const SendToLine plain{"All Users", "Copy", false, false, "C:\\S\\Copy.js"};
  CHECK(FormatSendToLine(plain) == "All Users@#@Copy=C:\\S\\Copy.js");

  for (const SendToLine& line : {shortcut, item, plain}) {
    const auto parsed = ParseSendToLine(*FormatSendToLine(line));
    REQUIRE(parsed);
    CHECK(parsed->profile == line.profile);
    CHECK(parsed->name == line.name);
    CHECK(parsed->shortcut == line.shortcut);
    CHECK(parsed->item_id_form == line.item_id_form);
    CHECK(parsed->target == line.target);
  }
  CHECK_FALSE(FormatSendToLine({"taro", "a=b", true, false, "C:\\x"}));
  CHECK_FALSE(FormatSendToLine({"ta@#@ro", "a", true, false, "C:\\x"}));
  CHECK_FALSE(FormatSendToLine({"taro", "a", false, false, "lnkfile"}));
  for (const char* name : {"a@#@b", "a@@@b", "a\rb"})
    CHECK_FALSE(FormatSendToLine({"taro", name, true, false, "C:\\x"}));
  // "ta@#" + "@#@" would read back as user "ta" and item "#@a".
  CHECK_FALSE(FormatSendToLine({"ta@#", "a", true, false, "C:\\x"}));
  CHECK_FALSE(ParseSendToLine("taro=Mail#$#C:\\m.exe"));
}

TEST_CASE("The 32-bit keys' lines, beside the older forms") {
  const ProfileLocations locations = TestLocations();
  EntryRecord run32;
  run32.Key = kMachineKey;
  run32.Kind = "Run32";
  run32.Name = "Helper";
  run32.Command = "C:\\Helper\\helper.exe /tray";
  CHECK(RegistryEntryLine(run32, locations) == "Machine32@Helper=C:\\Helper\\helper.exe /tray");
  run32.Kind = "RunOnce32";
  CHECK(RegistryEntryLine(run32, locations) == "MachineOnce32@Helper=C:\\Helper\\helper.exe /tray");

  const std::vector<EntryRecord> rows = DisabledBoxRecords(
      {"Machine32@A=a.exe", "MachineOnce32@B=b.exe", "Machine@C=c.exe", "MachineOnce@D=d.exe",
       "User@E=e.exe"},
      locations);
  const char* kinds[] = {"Run32", "RunOnce32", "Run", "RunOnce", ""};
  const char* names[] = {"A", "B", "C", "D", "E"};
  for (size_t i = 0; i < rows.size(); ++i) {
    CHECK_FALSE(rows[i].Unrecognised);
    CHECK(rows[i].Kind == kinds[i]);
    CHECK(rows[i].Name == names[i]);
  }
  CHECK(rows[4].Key == kUserRunKey);
}

namespace {

// Which lines the line reader recognised before the forms of the user's RunOnce key, the
// policy keys and scheduled tasks: a folder line of a known profile, or one of these
// registry prefixes. An Orvela of that time keeps every other line as an unrecognised one.
bool EarlierReaderRecognises(std::string_view line, const ProfileLocations& locations) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key_part = line.substr(0, equals), value = line.substr(equals + 1);
  if (locations.ProfileIndexOf(key_part))
    return value.find("#$#") != std::string_view::npos || value.find("@@@") != std::string_view::npos;
  for (const std::string_view prefix : {"User@", "Machine32@", "MachineOnce32@", "Machine@", "MachineOnce@"})
    if (key_part.substr(0, prefix.size()) == prefix) return true;
  return false;
}

}  // namespace

TEST_CASE("The lines of the user's RunOnce key, the policy Run keys and scheduled tasks") {
  const ProfileLocations locations = TestLocations();
  EntryRecord task;
  SetTaskPath(task, "\\Vendor\\Sub\\Agent");
  task.Command = "C:\\Agent\\agent.exe /tray=1";
  const std::pair<std::optional<std::string>, std::string> lines[] = {
      {RegistryEntryLine(RunRow(5, "Agent", "a.exe /q=1"), locations), "UserOnce@Agent=a.exe /q=1"},
      {RegistryEntryLine(RunRow(6, "Agent", "a.exe /q=1"), locations), "UserPolicy@Agent=a.exe /q=1"},
      {RegistryEntryLine(RunRow(7, "Agent", "a.exe /q=1"), locations), "MachinePolicy@Agent=a.exe /q=1"},
      {TaskEntryLine(task, locations), "Task@\\Vendor\\Sub\\Agent=C:\\Agent\\agent.exe /tray=1"}};
  for (size_t i = 0; i < std::size(lines); ++i) {
    CAPTURE(i);
    REQUIRE(lines[i].first == lines[i].second);
    const EntryRecord back = DisabledBoxRecord(lines[i].second, locations);
    CHECK(back.Command == (i < 3 ? "a.exe /q=1" : task.Command));
    CHECK(back.Name == "Agent");
    if (i < 3) CHECK(RunLocationOf(back) == static_cast<int>(i) + 5);
    CHECK_FALSE(EarlierReaderRecognises(lines[i].second, locations));
  }
  CHECK(DisabledBoxRecord(lines[3].second, locations).Kind == "\\Vendor\\Sub");
  CHECK(DisabledBoxRecord("Task@\\Top=x.exe", locations).Kind == "\\");
  for (const char* odd : {"Task@Top=x.exe", "Task@\\=x.exe", "Task@\\\\Top=x.exe", "Task@\\Sub\\=x.exe"})
    CHECK(DisabledBoxRecord(odd, locations).Unrecognised);
  SetTaskPath(task, "\\a=b");
  CHECK_FALSE(TaskEntryLine(task, locations));
  CHECK(EarlierReaderRecognises("Machine32@A=a.exe", locations));  // the check knows the older forms
}
