// An uninstall entry's values as text: what the watch, the details dialog and the removal
// question read.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry_backend.h"
#include "uninstall/uninstall_list.h"

namespace orvela {

// The longest binary value shown whole; a longer one shows this many bytes and "…".
inline constexpr size_t kBinaryTextLimit = 1024;

// Strings as stored (never expanded); a DWORD as "0000000A (10)"; binary bytes as "01 AB FF "
// (each followed by a blank); multi-strings and 64-bit numbers as the startup list shows
// them; any other type empty.
std::string ValueAsText(const RegistryValue& value);

// The value of the entry's key as text; empty when the key or the value is not there.
std::string ReadEntryValue(RegistryBackend& registry, const UninstallKey& key, std::string_view name);

// Every value of the entry's key as (name, text), names in the locale's order with letter
// case ignored; the default value has the name "". None when the key does not open.
std::vector<std::pair<std::string, std::string>> EntryValueRows(RegistryBackend& registry,
                                                                const UninstallKey& key,
                                                                const UninstallSystem& system);

}  // namespace orvela
