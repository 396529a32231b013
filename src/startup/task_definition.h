// What the startup page reads from a scheduled task's definition (the task scheduler's XML):
// whether it starts at log-on, whether its switch is on, and the program its first action
// starts. A small reader of its own: the text comes from the scheduler or from the task's
// file, and whatever it holds, reading it ends in "not a task" at worst.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

struct TaskDefinition {
  bool logon = false;    // a LogonTrigger whose own switch is not off
  bool enabled = true;   // Settings/Enabled
  std::string command;   // the first Exec action's Command
  std::string arguments; // and its Arguments
};

// nullopt for a text that is no task definition (no Task element at the top, tags that do
// not close in order).
std::optional<TaskDefinition> ReadTaskDefinition(std::string_view xml);

// The command line a row shows: the command, then a blank and the arguments when there are
// any.
std::string TaskCommandLine(const TaskDefinition& definition);

// The text of a task file: UTF-16LE with a byte-order mark, or UTF-8 with or without one.
// nullopt for anything else.
std::optional<std::string> TaskFileText(std::string_view bytes);

}  // namespace orvela
