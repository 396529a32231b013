#include <doctest.h>

#include <map>

#include "startup/scheduled_tasks.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr char kXml[] =
    "<Task xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
    "  <Triggers><LogonTrigger/></Triggers>\r\n"
    "  <Actions><Exec><Command>C:\\Agent\\agent.exe</Command><Arguments>/tray</Arguments></Exec></Actions>\r\n"
    "</Task>\r\n";
constexpr char kPath[] = "\\Vendor\\Agent";
constexpr char kLine[] = "Task@\\Vendor\\Agent=C:\\Agent\\agent.exe /tray";

// A scheduler of a map that does what it is asked. (One that accepts a switch without making
// it, or registers a definition without its trigger, is Wine's: task_scheduler_win_test.cpp.)
struct FakeTasks final : TaskScheduler {
  std::map<std::string, ScheduledTask> tasks;

  std::optional<std::vector<ScheduledTask>> ListTasks() override {
    std::vector<ScheduledTask> all;
    for (const auto& entry : tasks) all.push_back(entry.second);
    return all;
  }
  std::optional<ScheduledTask> ReadTask(const std::string& path, SystemError* status) override {
    if (status) *status = tasks.count(path) ? kErrorNone : kErrorFileNotFound;
    return tasks.count(path) ? std::optional(tasks[path]) : std::nullopt;
  }
  SystemError SetEnabled(const std::string& path, bool enabled) override {
    tasks[path].enabled = enabled;
    return kErrorNone;
  }
  SystemError Register(const std::string& path, const std::string& xml) override {
    if (tasks.count(path)) return kErrorAlreadyExists;
    tasks[path] = {path, xml};
    return kErrorNone;
  }
  SystemError Delete(const std::string& path) override { return tasks.erase(path) ? kErrorNone : kErrorFileNotFound; }
};

}  // namespace

TEST_CASE("log-on tasks: listed, switched off into the Disabled Box and back as they were") {
  StartupFixture f;
  FakeTasks scheduler;
  f.context.tasks = &scheduler;
  scheduler.tasks[kPath] = {kPath, kXml};
  scheduler.tasks["\\Daily"] = {"\\Daily", "<Task><Triggers><CalendarTrigger/></Triggers></Task>"};
  const auto rows = [&] { return LogonTaskEntries(*scheduler.ListTasks(), f.box.lines, f.locations); };
  const std::vector<EntryRecord> listed = rows();
  REQUIRE(listed.size() == 1);  // the daily task starts at no log-on
  const EntryRecord& agent = listed[0];
  CHECK((agent.Key == kTaskKey && agent.Kind == "\\Vendor" && agent.Name == "Agent"));
  CHECK(agent.Command == "C:\\Agent\\agent.exe /tray");

  SUBCASE("off with its whole definition kept, shown in the box only; on again; gone and registered again") {
    CHECK(DisableStartupEntry(f.context, agent).changed);
    CHECK(f.box.lines == std::vector<std::string>{kLine});
    CHECK_FALSE(scheduler.tasks[kPath].enabled);
    CHECK(rows().empty());
    CHECK(EnableStartupEntry(f.context, 0).changed);
    CHECK((scheduler.tasks[kPath].enabled && scheduler.tasks[kPath].xml == kXml));

    REQUIRE(DisableStartupEntry(f.context, agent).changed);
    scheduler.tasks.erase(kPath);
    CHECK(EnableStartupEntry(f.context, 0).changed);
    CHECK((scheduler.tasks[kPath].enabled && scheduler.tasks[kPath].xml == kXml));
    CHECK(f.box.lines.empty());
    CHECK(f.prompt.shown().empty());
  }
  SUBCASE("deleting asks first; No keeps the task") {
    CHECK_FALSE(DeleteStartupEntry(f.context, agent, true).changed);
    f.prompt.AnswerYes();
    CHECK(DeleteStartupEntry(f.context, agent, true).changed);
    CHECK_FALSE(scheduler.tasks.count(kPath));
  }
}
