#include "startup/startup_adding.h"

#include <memory>

#include "startup/run_key_locations.h"
#include "system/locations.h"
#include "system/registry_value_text.h"
#include "regfile/registry_accessor.h"
#include "startup/startup_entries.h"
#include "platform/app_title.h"

namespace orvela {

std::vector<std::string> AddLocationItems(int kind, const std::vector<std::string>& profiles,
                                          const std::vector<int>& run_locations) {
  return kind == 1 ? RunLocationTexts(run_locations) : profiles;
}

int PreferredItem(const std::vector<std::string>& items, std::string_view preferred) {
  for (size_t i = 0; i < items.size(); ++i)
    if (EqualsIgnoringCase(items[i], preferred)) return static_cast<int>(i);
  return 0;
}

std::string FolderPartOf(std::string_view path) {
  const size_t cut = path.find_last_of("\\:");
  if (cut == std::string_view::npos) return "";
  std::string_view folder = path.substr(0, cut + 1);
  // "C:\" and "C:" stay whole; "C:\Tools\" loses its backslash.
  if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':') folder.remove_suffix(1);
  return std::string(folder);
}

ActionResult AddRunValue(StartupContext& context, std::string_view path, int location) {
  ActionResult result;
  if (path.empty() || location < 0 || location >= static_cast<int>(kRunKeyLocations.size())) return result;
  const std::string name = EntryNameOf(path);
  if (name.empty()) {
    // A drive root or a folder path ending in "\": the value would be the key's unnamed one.
    result.message = "[" + std::string(path) + "]\n" + std::string(add_messages::kNoValueName);
    context.prompt.ShowMessage(result.message, kAppTitle, PromptIcon::kWarning);
    return result;
  }
  if (auto refused = RefuseRunLocation(context, name, location)) return *refused;
  const std::string command = RunCommandOf(path, "");
  // A path is taken as it stands: a "%" in it belongs to a name, and an expandable string
  // would have Windows run another path at log-on.
  const RegistryValue value{kRegSz, StringToRegistryData(command)};
  const RunKeyLocation& where = kRunKeyLocations[static_cast<size_t>(location)];
  if (const std::unique_ptr<RegistryKey> key = context.registry.OpenKey(where.root, where.path, KeyAccess::kRead)) {
    if (const std::optional<RegistryValue> present = key->ReadValue(name)) {
      if (*present == value) return result;
      const std::string question = "[" + name + "]\n" + RunValueText(*present) + "\n→ " + command + "\n\n" +
                                   std::string(add_messages::kReplaceQuestion);
      if (!context.prompt.AskYesNoDefaultNo(question, kAppTitle, PromptIcon::kQuestion)) return result;
    }
  }
  if (!WriteRunValue(context.registry, name, value, location)) {
    result.message = "[" + name + "]\n" + std::string(add_messages::kWriteFailed);
    context.prompt.ShowMessage(result.message, kAppTitle, PromptIcon::kError);
    return result;
  }
  result.changed = true;
  return result;
}

}  // namespace orvela
