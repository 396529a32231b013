#include "startup/startup_entries.h"

#include "startup/run_key_locations.h"

namespace orvela {

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
                                               const std::vector<std::vector<RunValue>>& run_values) {
  std::vector<EntryRecord> rows;
  for (const FolderItem& item : folder_items) {
    EntryRecord& row = rows.emplace_back();
    row.Key = item.profile_index;
    row.Name = EntryNameOf(item.path);
    row.Command = item.path;
  }
  for (size_t location = 0; location < run_values.size() && location < kRunKeyLocations.size(); ++location) {
    for (const RunValue& value : run_values[location]) {
      EntryRecord& row = rows.emplace_back();
      SetRunLocation(row, static_cast<int>(location));
      row.Name = value.name;
      row.Command = RunValueText(value.value);
    }
  }
  return rows;
}

}  // namespace orvela
