// The machine's task scheduler as the startup page uses it, on a log-on task of the prefix's
// task store.
#include <doctest.h>

#include <algorithm>

#include "startup/seeded_task_win.h"
#include "startup/startup_test_support.h"
#include "startup/task_definition.h"

using namespace orvela;
using namespace orvela::testing;
namespace msg = orvela::startup_messages;

TEST_CASE("a log-on task of the scheduler: listed with its program; a switch is made, or told and nothing moves") {
  SeededTask seeded("\\Orvela テスト", "ログオン");
  Win32TaskScheduler scheduler;
  const std::optional<std::vector<ScheduledTask>> tasks = scheduler.ListTasks();
  REQUIRE(tasks);
  StartupFixture f;
  f.context.tasks = &scheduler;
  const std::vector<EntryRecord> rows = LogonTaskEntries(*tasks, {}, f.locations);
  const auto row = std::find_if(rows.begin(), rows.end(), [](const EntryRecord& e) { return e.Name == "ログオン"; });
  REQUIRE(row != rows.end());
  CHECK(row->Kind == seeded.folder);
  CHECK(row->Command == "C:\\windows\\notepad.exe /tray");

  SUBCASE("switched off and on, or told that the scheduler did not, the store byte for byte") {
    const ActionResult disabled = DisableStartupEntry(f.context, *row);
    if (disabled.changed) {
      CHECK(EnableStartupEntry(f.context, 0).changed);
      CHECK(scheduler.ReadTask(seeded.path)->enabled);
    } else {  // Wine's scheduler accepts the switch and leaves the task on
      CHECK(disabled.message == "[ログオン]\n" + std::string(msg::kTaskNotSwitchedOff));
      CHECK(f.box.lines.empty());
      CHECK(ReadWholeFile(seeded.file) == seeded.bytes);
    }
  }
  SUBCASE("a task gone: registered again from its kept definition, or told and left gone") {
    const std::string line = "Task@" + seeded.path + "=C:\\windows\\notepad.exe /tray";
    REQUIRE(f.box.Add(line, KeptFile(line, "task.xml", kLogonTaskXml, std::nullopt)) == DisabledBoxStore::AddResult::kAdded);
    REQUIRE(scheduler.Delete(seeded.path) == kErrorNone);
    const ActionResult enabled = EnableStartupEntry(f.context, 0);
    if (enabled.changed) {
      CHECK(ReadTaskDefinition(scheduler.ReadTask(seeded.path)->xml)->logon);
    } else {  // Wine's scheduler keeps the definition without its trigger and program
      CHECK(enabled.message == "[ログオン]\n" + std::string(msg::kTaskRegisteredOtherwise));
      CHECK_FALSE(scheduler.ReadTask(seeded.path));
      CHECK(f.box.lines == std::vector<std::string>{line});
    }
  }
}
