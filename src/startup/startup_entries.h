// The rows of the startup list, built from what was read out of the Startup folders and
// the Run keys, in the list's fixed order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_backend.h"
#include "disabled_box/entry.h"
#include "system/registry_value_text.h"

namespace orvela {

// One file found in a Startup folder. Outside namespace orvela write orvela::FolderItem:
// the shell headers declare a FolderItem of their own.
struct FolderItem {
  std::string path;  // full path
  int profile_index = 0;
};

// One value of a Run key as the registry accessor reads it (raw type and bytes).
struct RunValue {
  std::string name;
  RegistryValue value;
};

// Every value of a Run key, opened for full access without creating it. A key that cannot
// be opened (missing, or no rights, as the machine keys for a non-administrator) gives
// none; a value that went away between listing and reading is left out. `pace` is called
// after every value (a long key must not keep the window from answering).
std::vector<RunValue> ReadRunKey(RegistryBackend& registry, RootKey root, std::string_view path,
                                 const std::function<void()>& pace = {});

// The file name without its folder and last extension ("desktop.ini" -> "desktop"). A name
// that is all extension (".profile") is kept whole rather than giving an empty name.
std::string EntryNameOf(std::string_view path);

// Folder items first, then the values of each Run location in location order (run_values[i]
// those of location i; missing ones count as empty).
std::vector<EntryRecord> CollectStartupEntries(const std::vector<FolderItem>& folder_items,
                                               const std::vector<std::vector<RunValue>>& run_values);


}  // namespace orvela
