#include <doctest.h>

#include "rows/entry_marks.h"
#include "startup/startup_actions.h"
#include "startup/startup_approved.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr std::string_view kApproved =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

RegistryValue Switch(std::vector<std::uint8_t> bytes) { return {kRegBinary, std::move(bytes)}; }

// 03 00 00 00, then the FILETIME 0x01D9'0A0B'0C0D'0E0F.
const RegistryValue kOffSince = Switch({0x03, 0, 0, 0, 0x0F, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0xD9, 0x01});

void SetSwitch(MemoryRegistry& registry, RootKey root, std::string_view key, std::string_view name,
               const RegistryValue& value) {
  registry.OpenKey(root, std::string(kApproved) + std::string(key), KeyAccess::kCreate)->WriteValue(name, value);
}

std::optional<RegistryValue> GetSwitch(MemoryRegistry& registry, RootKey root, std::string_view key,
                                       std::string_view name) {
  const auto opened = registry.OpenKey(root, std::string(kApproved) + std::string(key), KeyAccess::kRead);
  return opened ? opened->ReadValue(name) : std::nullopt;
}

}  // namespace

TEST_CASE("Windows' own startup switch marks the rows it has off") {
  StartupFixture f;
  const std::string own_lnk = StartupOf("taro") + "\\Mail.lnk";
  const std::string all_lnk = std::string(kCommonStartup) + "\\Scan.lnk";
  const std::string other_lnk = StartupOf("hanako") + "\\Mail.lnk";
  std::vector<EntryRecord> rows{
      RunRow(0, "Off", "a.exe"),        RunRow(0, "On", "b.exe"),
      RunRow(1, "Off7", "c.exe"),       RunRow(1, "On6", "d.exe"),
      RunRow(3, "Off32", "e.exe"),      RunRow(0, "Short", "f.exe"),
      RunRow(2, "Once", "g.exe"),       FolderRow(f.Profile("taro"), "Mail", own_lnk),
      FolderRow(f.locations.all_users_index(), "Scan", all_lnk),
      FolderRow(f.Profile("hanako"), "Mail", other_lnk),
  };
  SetSwitch(f.registry, RootKey::kCurrentUser, "Run", "Off", kOffSince);
  SetSwitch(f.registry, RootKey::kCurrentUser, "Run", "On", Switch({0x02, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  SetSwitch(f.registry, RootKey::kLocalMachine, "Run", "Off7", Switch({0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  SetSwitch(f.registry, RootKey::kLocalMachine, "Run", "On6", Switch({0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  SetSwitch(f.registry, RootKey::kLocalMachine, "Run32", "Off32", kOffSince);
  SetSwitch(f.registry, RootKey::kCurrentUser, "Run", "Short", Switch({0x03, 0, 0}));  // cut: on
  SetSwitch(f.registry, RootKey::kCurrentUser, "Run", "NoSuchEntry", kOffSince);
  SetSwitch(f.registry, RootKey::kLocalMachine, "Run", "Once", kOffSince);  // RunOnce has no switch
  SetSwitch(f.registry, RootKey::kCurrentUser, "StartupFolder", "Mail.lnk", kOffSince);
  SetSwitch(f.registry, RootKey::kLocalMachine, "StartupFolder", "Scan.lnk", kOffSince);

  MarkWindowsDisabled(rows, f.registry, f.locations);
  const bool expected[] = {true, false, true, false, true, false, false, true, true, false};
  for (size_t i = 0; i < rows.size(); ++i) {
    INFO(rows[i].Name);
    CHECK(rows[i].WindowsDisabled == expected[i]);
  }
  CHECK(rows[0].WindowsDisabledAt == 0x01D90A0B0C0D0E0Full);
  CHECK(rows[2].WindowsDisabledAt == 0);
  CHECK(EntryMarksText(rows[0]) == "Windows で無効");
  CHECK(EntryMarksText(rows[4]) == "（32ビット） Windows で無効");
  CHECK(EntryMarksText(rows[1]).empty());

  SUBCASE("turned on: 02 and zeros, nothing else changes") {
    CHECK(ClearWindowsDisabled(f.context, rows[0]).changed);
    CHECK(GetSwitch(f.registry, RootKey::kCurrentUser, "Run", "Off") ==
          Switch({0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    CHECK(GetSwitch(f.registry, RootKey::kCurrentUser, "Run", "NoSuchEntry") == kOffSince);
    CHECK(ClearWindowsDisabled(f.context, rows[7]).changed);
    CHECK(ReadApprovedState(*GetSwitch(f.registry, RootKey::kCurrentUser, "StartupFolder", "Mail.lnk"))
              .disabled == false);
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("a switch that cannot be written is told") {
    f.registry.MakeReadOnly(RootKey::kCurrentUser, std::string(kApproved) + "Run");
    CHECK_FALSE(ClearWindowsDisabled(f.context, rows[0]).changed);
    REQUIRE(f.prompt.messages().size() == 1);
    CHECK(f.prompt.messages()[0].find(SystemErrorText(kErrorAccessDenied)) != std::string::npos);
  }

  SUBCASE("disabled into the box and enabled back, the switch is as it was") {
    f.SetRun(0, "Off", "a.exe");
    REQUIRE(DisableStartupEntry(f.context, rows[0]).changed);
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(0, "Off") == StringValue("a.exe"));
    CHECK(GetSwitch(f.registry, RootKey::kCurrentUser, "Run", "Off") == kOffSince);
  }
}

TEST_CASE("An entry that came back after it was disabled") {
  StartupFixture f;
  f.SetRun(0, "Updater", "C:\\Updater\\updater.exe /auto");
  REQUIRE(DisableStartupEntry(f.context, RunRow(0, "Updater", "C:\\Updater\\updater.exe /auto")).changed);
  REQUIRE(f.KeptCount() == 1);
  // The program writes its value again at its next start.
  f.SetRun(0, "Updater", "C:\\Updater\\updater.exe /auto");
  std::vector<EntryRecord> rows{RunRow(0, "Updater", "C:\\Updater\\updater.exe /auto"),
                                RunRow(0, "Updater2", "C:\\Updater\\updater.exe /auto"),
                                RunRow(1, "Updater", "C:\\Updater\\updater.exe /auto")};
  MarkReturnedEntries(rows, f.box.lines, f.locations);
  CHECK(rows[0].Returned);
  CHECK_FALSE(rows[1].Returned);
  CHECK_FALSE(rows[2].Returned);  // another key
  CHECK(EntryMarksText(rows[0]) == "復活");

  SUBCASE("disabled again: one line, no live entry") {
    CHECK(DisableAgain(f.context, rows[0]).changed);
    CHECK_FALSE(f.Run(0, "Updater"));
    CHECK(f.BoxFile() == std::vector<std::string>{"User@Updater=C:\\Updater\\updater.exe /auto"});
    CHECK(f.KeptCount() == 1);
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("changed since the list was read: left alone") {
    f.SetRun(0, "Updater", "C:\\Updater\\updater.exe /other");
    const ActionResult result = DisableAgain(f.context, rows[0]);
    CHECK(result.changed);
    CHECK_FALSE(result.message.empty());
    CHECK(f.Run(0, "Updater"));
    CHECK(f.box.lines.size() == 1);
  }
}
