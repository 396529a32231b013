// Feeds arbitrary bytes to the task definition reader, as a task file and as text. Reading
// never fails worse than "no definition", and a definition's command line starts with its
// command.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "startup/task_definition.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::optional<std::string>& text : {TaskFileText(bytes), std::optional<std::string>(bytes)}) {
    if (!text) continue;
    if (const std::optional<TaskDefinition> definition = ReadTaskDefinition(*text))
      if (TaskCommandLine(*definition).rfind(definition->command, 0) != 0) std::abort();
  }
  return 0;
}
