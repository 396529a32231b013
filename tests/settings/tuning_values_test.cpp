#include <doctest.h>

#include "platform/file_io.h"
#include "regfile/regfile_test_support.h"
#include "settings/settings_test_support.h"
#include "settings/tuning_seed.h"
#include "settings/tuning_values.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

// The sheets as shown, and as stored (what the fill showed), as the page keeps them.
struct Sheets {
  MemorySheet memory, stored_memory;
  OtherSheet other, stored_other;
  NetworkSheet network;
  std::optional<SubsystemValue> windows;

  ApplyResult ApplyMemory(SettingsWriter& writer, std::uint32_t mask) {
    return ApplyMemorySheet(writer, memory, stored_memory, windows, mask);
  }
  ApplyResult ApplyOther(SettingsWriter& writer, std::uint32_t mask) {
    return ApplyOtherSheet(writer, other, stored_other, mask);
  }
};

void Fill(RegistryBackend& backend, Sheets& s) {
  TRegistry registry(backend);
  FillSettingsPages(registry, {s.memory, s.other, s.network, s.windows});
  s.stored_memory = s.memory;
  s.stored_other = s.other;
}

}  // namespace

TEST_CASE("filling: a stored text that is no number shows as it is and the rest is still read") {
  MemoryRegistry backend;
  SeedTuningValues(backend);
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "MenuShowDelay", TextValue("abc"));
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "WaitToKillAppTimeout", TextValue("30000"));
  Sheets s;
  Fill(backend, s);
  CHECK(s.other.menu_show_delay == "abc");
  CHECK(s.other.wait_to_kill_app_timeout == "30000");  // outside the range: shown as stored, not as 20000
  CHECK(s.other.min_animate == "200");
  CHECK(s.memory.max_cached_icons == "2048");
  CHECK(s.network.cards.size() == 2);
}

TEST_CASE("a restore writes the page's own values only, and of the Windows value only SharedSection") {
  const TuningScope scope;
  const RootKey lm = RootKey::kLocalMachine;
  const std::string interfaces = std::string(kTcpipKey) + "\\Interfaces\\";
  CHECK(scope.Records(lm, interfaces + kCardWithMtu, "MTU", std::nullopt));
  for (const std::string& key : {interfaces + "a\\b", interfaces, std::string(kDesktopKey)})
    CHECK_FALSE(scope.Records(lm, key, "MTU", DwordValue(1500)));
  // The Windows value is the command line of the system's subsystem: a record that would
  // delete it is refused, and only SharedSection comes back, into the value as it is now.
  const RegistryValue planted = TextValue("C:\\evil.exe SharedSection=1024,3072,512", kRegExpandSz);
  CHECK_FALSE(scope.Records(lm, kSubSystemsKey, "Windows", std::nullopt));
  std::string now = std::string(kWindowsValue) + " Added=1";
  const RegistryValue restored = TextValue(now, kRegExpandSz);
  CHECK(scope.ToWrite("Windows", planted, TextValue(now.replace(now.find("3072"), 4, "3328"), kRegExpandSz)) == restored);
  CHECK_FALSE(scope.ToWrite("Windows", planted, DwordValue(1)));
}

TEST_CASE("apply: changed fields that are no number in range, an unread or changed SharedSection, no priority choice") {
  TempFolder folder;
  MemoryRegistry backend;
  SeedTuningValues(backend);
  const RootKey lm = RootKey::kLocalMachine;
  TRegistry registry(backend);
  SettingsWriter writer(registry, folder.File("windata.ini"));
  Sheets s;
  // An installer's token after the others; SharedSection's numbers as given.
  auto windows_with = [](std::string_view numbers) {
    std::string text = std::string(kWindowsValue) + " Added=1";
    return TextValue(text.replace(text.find("1024,3072,512"), 13, numbers), kRegExpandSz);
  };

  SUBCASE("a bad field keeps its group back and says which; the other groups are written") {
    Fill(backend, s);
    s.memory.large_system_cache = true;
    s.memory.io_page_lock_limit = "2,000,000";
    s.memory.max_cached_icons = "5000";
    const ApplyResult result = s.ApplyMemory(writer, 0b1101);
    CHECK(result.mask == 0b1100);
    CHECK(result.messages == std::vector<std::string>{FieldNumberMessage(kLockLimitField, "2,000,000"),
                                                      FieldNumberMessage(kCachedIconsField, "5000")});
    CHECK(Get(backend, lm, kMemoryKey, "LargeSystemCache") == DwordValue(1));
    CHECK(Get(backend, lm, kMemoryKey, "IoPageLockLimit") == DwordValue(524288));
    CHECK(Get(backend, RootKey::kCurrentUser, kExplorerKey, "MaxCachedIcons") == TextValue("2048"));
  }
  SUBCASE("a fill forgets SharedSection when the value is gone, no string or of two numbers; it is never written") {
    Fill(backend, s);
    REQUIRE(s.memory.desktop_heap == "3072");
    const std::optional<RegistryValue> unread[] = {std::nullopt, DwordValue(1),
                                                   TextValue("csrss.exe SharedSection=1024,3072", kRegExpandSz)};
    for (const std::optional<RegistryValue>& value : unread) {
      Put(backend, lm, kSubSystemsKey, "Windows", value);
      Fill(backend, s);
      CHECK(s.memory.system_heap + s.memory.desktop_heap + s.memory.noninteractive_heap == "");
    }
    s.memory.desktop_heap = "3328";
    s.memory.irp_stack_size = "20";
    const ApplyResult result = s.ApplyMemory(writer, 1u << 4);
    CHECK(result.mask == 0);
    CHECK(result.messages == std::vector<std::string>{std::string(kSharedSectionNotRead)});
    CHECK(Get(backend, lm, kSubSystemsKey, "Windows") == unread[2]);
    CHECK(Get(backend, lm, kLanmanKey, "IRPStackSize") == DwordValue(20));
  }
  SUBCASE("Win32PrioritySeparation absent: nothing composed until every group is chosen") {
    Put(backend, lm, kPriorityKey, "Win32PrioritySeparation", std::nullopt);
    Fill(backend, s);
    s.other.priority_separation[0] = 2;
    ApplyResult result = s.ApplyOther(writer, 1u << 3);
    CHECK(result.mask == 1u << 3);
    CHECK(result.messages == std::vector<std::string>{std::string(kPriorityNotChosen)});
    CHECK_FALSE(Get(backend, lm, kPriorityKey, "Win32PrioritySeparation"));
    s.other.priority_separation = {2, 0, 1};
    result = s.ApplyOther(writer, result.mask);
    CHECK(result.mask == 0);
    CHECK(Get(backend, lm, kPriorityKey, "Win32PrioritySeparation") == DwordValue(0x21));
  }
  SUBCASE("values outside their ranges that the user did not touch keep them; the changed ones are written") {
    // SharedSection=1024,20480,768 is the default of 64-bit Windows XP and Server 2003.
    Put(backend, lm, kSubSystemsKey, "Windows", windows_with("1024,20480,768"));
    Fill(backend, s);
    s.memory.irp_stack_size = "20";
    CHECK(s.ApplyMemory(writer, 1u << 4).messages.empty());
    CHECK(Get(backend, lm, kLanmanKey, "IRPStackSize") == DwordValue(20));
  }
  SUBCASE("a token added after the fill stays; a SharedSection changed since is not written over") {
    Fill(backend, s);
    Put(backend, lm, kSubSystemsKey, "Windows", windows_with("1024,3072,512"));
    s.memory.desktop_heap = "3328";
    CHECK(s.ApplyMemory(writer, 1u << 4).mask == 0);
    CHECK(Get(backend, lm, kSubSystemsKey, "Windows") == windows_with("1024,3328,512"));
    Put(backend, lm, kSubSystemsKey, "Windows", windows_with("1024,3328,768"));
    s.memory.desktop_heap = "3584";
    const ApplyResult result = s.ApplyMemory(writer, 1u << 4);
    CHECK(result.refill);
    CHECK(result.messages == std::vector<std::string>{std::string(kSharedSectionChanged)});
    CHECK(Get(backend, lm, kSubSystemsKey, "Windows") == windows_with("1024,3328,768"));
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
  s.other.menu_show_delay = "100";
  s.other.auto_end_tasks = true;
  s.other.hung_app_timeout = "3000";
  s.other.min_animate = "300";
  const ApplyResult result = s.ApplyOther(writer, 0b1111);
  CHECK(result.mask == 0b1110);
  CHECK(result.messages ==
        std::vector<std::string>{"「HKEY_CURRENT_USER\\Control Panel\\Desktop」の「HungAppTimeout」を書き込めませんでした。"});
  const RootKey cu = RootKey::kCurrentUser;
  CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("100"));
  CHECK(Get(backend, cu, kDesktopKey, "AutoEndTasks") == TextValue("1"));
  CHECK(Get(backend, cu, kDesktopKey, "HungAppTimeout") == TextValue("5000"));
  CHECK(Get(backend, cu, kMetricsKey, "MinAnimate") == TextValue("200"));
  // The backup keeps the first states of what was written, for the restore.
  const BackupText file = ReadBackupFile(path).text;
  CHECK(file.Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "MenuShowDelay") == "1400");
  CHECK(file.Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "AutoEndTasks") == "10");
}
