#include "startup/startup_entries.h"

namespace orvela {
namespace {

void AppendRunValues(std::vector<EntryRecord>& rows, const std::vector<RunValue>& values,
                     int32_t key, const char* kind) {
  for (const RunValue& value : values) {
    EntryRecord& row = rows.emplace_back();
    row.Key = key;
    row.Kind = kind;
    row.Name = value.name;
    row.Command = RunValueText(value.value);
  }
}

}  // namespace

std::vector<RunValue> ReadRunKey(RegistryBackend& registry, RootKey root, std::string_view path,
                                 const std::function<void()>& pace) {
  std::vector<RunValue> values;
  const std::unique_ptr<RegistryKey> key = registry.OpenKey(root, path, KeyAccess::kRead);
  if (!key) return values;
  for (const std::string& name : key->ValueNames().value_or(std::vector<std::string>{})) {
    if (auto value = key->ReadValue(name)) values.push_back({name, std::move(*value)});
    if (pace) pace();
  }
  return values;
}

std::string EntryNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::vector<EntryRecord> CollectStartupEntries(const std::vector<FolderItem>& folder_items,
                                               const std::vector<RunValue>& user_run,
                                               const std::vector<RunValue>& machine_run,
                                               const std::vector<RunValue>& machine_run_once,
                                               const std::vector<RunValue>& machine_run32,
                                               const std::vector<RunValue>& machine_run_once32) {
  std::vector<EntryRecord> rows;
  rows.reserve(folder_items.size() + user_run.size() + machine_run.size() +
               machine_run_once.size() + machine_run32.size() + machine_run_once32.size());
  for (const FolderItem& item : folder_items) {
    EntryRecord& row = rows.emplace_back();
    row.Key = item.profile_index;
    row.Name = EntryNameOf(item.path);
    row.Command = item.path;
  }
  AppendRunValues(rows, user_run, kUserRunKey, "");
  AppendRunValues(rows, machine_run, kMachineKey, "Run");
  AppendRunValues(rows, machine_run_once, kMachineKey, "RunOnce");
  AppendRunValues(rows, machine_run32, kMachineKey, "Run32");
  AppendRunValues(rows, machine_run_once32, kMachineKey, "RunOnce32");
  return rows;
}

}  // namespace orvela
