#include <doctest.h>

#include "platform/file_io.h"
#include "regfile/regfile_test_support.h"
#include "settings/settings_test_support.h"
#include "settings/tuning_seed.h"
#include "settings/tuning_values.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

struct Sheets {
  MemorySheet memory;
  OtherSheet other;
  NetworkSheet network;
  std::optional<SubsystemValue> windows;
};

void Fill(RegistryBackend& backend, Sheets& s) {
  TRegistry registry(backend);
  FillSettingsPages(registry, {s.memory, s.other, s.network, s.windows});
}

}  // namespace

TEST_CASE("filling: a stored text that is no number shows as it is and the rest is still read") {
  MemoryRegistry backend;
  SeedTuningValues(backend);
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "MenuShowDelay", TextValue("abc"));
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "WaitToKillAppTimeout", TextValue("30000"));
  Sheets s;
  Fill(backend, s);
  CHECK(s.other.Edit1 == "abc");
  CHECK(s.other.Edit5 == "30000");  // outside the range: shown as stored, not as 20000
  CHECK(s.other.Edit2 == "200");
  CHECK(s.memory.Edit11 == "2048");
  CHECK(s.network.cards.size() == 2);
}

TEST_CASE("apply: groups with a field that is no number in range, an unread SharedSection or no priority choice") {
  TempFolder folder;
  MemoryRegistry backend;
  SeedTuningValues(backend);
  const RootKey lm = RootKey::kLocalMachine;
  TRegistry registry(backend);
  SettingsWriter writer(registry, folder.File("windata.ini"));
  Sheets s;

  SUBCASE("a bad field keeps its group back and says which; the other groups are written") {
    Fill(backend, s);
    s.memory.CheckBox1 = true;
    s.memory.Edit3 = "2,000,000";
    s.memory.Edit11 = "5000";
    const ApplyResult result = ApplyMemorySheet(writer, s.memory, s.windows, 0b1101);
    CHECK(result.mask == 0b1100);
    CHECK(result.messages == std::vector<std::string>{FieldNumberMessage(kLockLimitField, "2,000,000"),
                                                      FieldNumberMessage(kCachedIconsField, "5000")});
    CHECK(Get(backend, lm, kMemoryKey, "LargeSystemCache") == DwordValue(1));
    CHECK(Get(backend, lm, kMemoryKey, "IoPageLockLimit") == DwordValue(524288));
    CHECK(Get(backend, RootKey::kCurrentUser, kExplorerKey, "MaxCachedIcons") == TextValue("2048"));
  }
  SUBCASE("no SharedSection read: the Windows value is left alone, IRPStackSize is still written") {
    Put(backend, lm, kSubSystemsKey, "Windows", TextValue("csrss.exe SharedSection=1024,3072", kRegExpandSz));
    Fill(backend, s);
    CHECK(s.memory.Edit7.empty());  // two numbers fill nothing
    s.memory.Edit9 = "20";
    const ApplyResult result = ApplyMemorySheet(writer, s.memory, s.windows, 1u << 4);
    CHECK(result.mask == 0);
    CHECK(result.messages == std::vector<std::string>{std::string(kSharedSectionNotRead)});
    CHECK(Get(backend, lm, kSubSystemsKey, "Windows") == TextValue("csrss.exe SharedSection=1024,3072", kRegExpandSz));
    CHECK(Get(backend, lm, kLanmanKey, "IRPStackSize") == DwordValue(20));
  }
  SUBCASE("Win32PrioritySeparation absent: nothing composed until every group is chosen") {
    Put(backend, lm, kPriorityKey, "Win32PrioritySeparation", std::nullopt);
    Fill(backend, s);
    s.other.RadioGroups[0] = 2;
    ApplyResult result = ApplyOtherSheet(writer, s.other, 1u << 3);
    CHECK(result.mask == 1u << 3);
    CHECK(result.messages == std::vector<std::string>{std::string(kPriorityNotChosen)});
    CHECK_FALSE(Get(backend, lm, kPriorityKey, "Win32PrioritySeparation"));
    s.other.RadioGroups = {2, 0, 1};
    result = ApplyOtherSheet(writer, s.other, result.mask);
    CHECK(result.mask == 0);
    CHECK(Get(backend, lm, kPriorityKey, "Win32PrioritySeparation") == DwordValue(0x21));
  }
}

TEST_CASE("a failed write ends the apply: what was written stays, the failed and later groups stay marked") {
  TempFolder folder;
  const std::string path = folder.File("windata.ini");
  RefusingRegistry backend;
  SeedTuningValues(backend);
  backend.refused = {"HungAppTimeout"};
  TRegistry registry(backend);
  SettingsWriter writer(registry, path);
  Sheets s;
  Fill(backend, s);
  s.other.Edit1 = "100";
  s.other.CheckBox3 = true;
  s.other.Edit4 = "3000";
  s.other.Edit2 = "300";
  const ApplyResult result = ApplyOtherSheet(writer, s.other, 0b1111);
  CHECK(result.mask == 0b1110);
  CHECK(result.messages ==
        std::vector<std::string>{"「HKEY_CURRENT_USER\\Control Panel\\Desktop」の「HungAppTimeout」を書き込めませんでした。"});
  const RootKey cu = RootKey::kCurrentUser;
  CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("100"));
  CHECK(Get(backend, cu, kDesktopKey, "AutoEndTasks") == TextValue("1"));
  CHECK(Get(backend, cu, kDesktopKey, "HungAppTimeout") == TextValue("5000"));
  CHECK(Get(backend, cu, kMetricsKey, "MinAnimate") == TextValue("200"));
  // The backup keeps the first states of what was written, for the restore.
  const std::optional<BackupText> file = LoadBackupText(path);
  CHECK(file->Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "MenuShowDelay") == "1400");
  CHECK(file->Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "AutoEndTasks") == "10");
}
