// The machine's task scheduler through its 2.0 interfaces, as the startup page asks it.
// Every call runs on a thread of its own while the window answers: the first connection of
// a session starts the scheduler's service, which can take a second or more.
#pragma once
#include "startup/scheduled_tasks.h"

namespace orvela {

class Win32TaskScheduler final : public TaskScheduler {
 public:
  std::optional<std::vector<ScheduledTask>> ListTasks() override;
  std::optional<ScheduledTask> ReadTask(const std::string& path, SystemError* status = nullptr) override;
  SystemError SetEnabled(const std::string& path, bool enabled) override;
  SystemError Register(const std::string& path, const std::string& xml) override;
  SystemError Delete(const std::string& path) override;
};

// The file in which the scheduler keeps the task at `path` ("\Sub\Name"): the system
// folder's "Tasks" + path.
std::string TaskFilePath(const std::string& path);

}  // namespace orvela
