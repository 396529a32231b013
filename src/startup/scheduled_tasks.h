// Scheduled tasks that start at log-on, as rows of the startup list: what the page asks of
// the task scheduler (a port: Win32TaskScheduler in task_scheduler_win.h, tests use a fake),
// and the rows made from what it gives.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/entry.h"
#include "platform/system_error.h"
#include "system/locations.h"

namespace orvela {

// One registered task as the scheduler gives it now.
struct ScheduledTask {
  std::string path;     // "\Folder\Name" ("\Name" in the top folder)
  std::string xml;      // its whole definition, UTF-8
  bool enabled = true;  // the scheduler's switch
};

class TaskScheduler {
 public:
  virtual ~TaskScheduler() = default;
  // Every task of every folder, hidden ones included; nullopt when the scheduler cannot be
  // reached.
  virtual std::optional<std::vector<ScheduledTask>> ListTasks() = 0;
  // The task at `path` read afresh; nullopt when it is not there or cannot be read (`status`,
  // when given, says why: kErrorFileNotFound when it is not there).
  virtual std::optional<ScheduledTask> ReadTask(const std::string& path, SystemError* status = nullptr) = 0;
  // The scheduler's answer to a request; kErrorNone when it accepted it (which does not
  // prove it did it: the callers read the task again).
  virtual SystemError SetEnabled(const std::string& path, bool enabled) = 0;
  // Registers `xml` as a new task at `path`; never replaces a task that is there.
  virtual SystemError Register(const std::string& path, const std::string& xml) = 0;
  virtual SystemError Delete(const std::string& path) = 0;
};

// The rows of the tasks that start at log-on, in the order given: name, folder, the first
// action's command line; a task switched off is marked WindowsDisabled, and left out when
// its Disabled Box line stands in `box_lines` (it is shown in the box).
std::vector<EntryRecord> LogonTaskEntries(const std::vector<ScheduledTask>& tasks,
                                          const std::vector<std::string>& box_lines,
                                          const ProfileLocations& locations);

}  // namespace orvela
