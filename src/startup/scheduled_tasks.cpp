#include "startup/scheduled_tasks.h"

#include <algorithm>

#include "disabled_box/disabled_box.h"
#include "startup/task_definition.h"

namespace orvela {

std::vector<EntryRecord> LogonTaskEntries(const std::vector<ScheduledTask>& tasks,
                                          const std::vector<std::string>& box_lines,
                                          const ProfileLocations& locations) {
  std::vector<EntryRecord> rows;
  for (const ScheduledTask& task : tasks) {
    const std::optional<TaskDefinition> definition = ReadTaskDefinition(task.xml);
    if (!definition || !definition->logon) continue;
    EntryRecord row;
    SetTaskPath(row, task.path);
    row.Command = TaskCommandLine(*definition);
    if (!task.enabled) {
      // Switched off by the program: the Disabled Box view shows it.
      const std::optional<std::string> line = TaskEntryLine(row, locations);
      if (line && std::find(box_lines.begin(), box_lines.end(), *line) != box_lines.end()) continue;
      row.WindowsDisabled = true;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace orvela
