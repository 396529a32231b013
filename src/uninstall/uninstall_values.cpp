#include "uninstall/uninstall_values.h"

#include <algorithm>
#include <cstdio>

#include "system/registry_value_text.h"
#include "regfile/registry_accessor.h"

namespace orvela {

std::string ValueAsText(const RegistryValue& value) {
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
      return RegistryDataToString(value.data);
    case kRegDword:
      if (value.data.size() == 4) {
        const uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                (static_cast<uint32_t>(value.data[3]) << 24);
        char text[32];
        std::snprintf(text, sizeof text, "%08X (%d)", number, static_cast<int32_t>(number));
        return text;
      }
      break;  // not a number of four bytes: its bytes, as binary data shows them
    case kRegBinary:
      break;
    case kRegMultiSz:
    case kRegQword:
      return RunValueText(value);
    default:
      return {};
  }
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  const size_t shown = std::min(value.data.size(), kBinaryTextLimit);
  for (size_t i = 0; i < shown; ++i) {
    text += kDigits[value.data[i] >> 4];
    text += kDigits[value.data[i] & 0x0F];
    text += ' ';
  }
  if (shown < value.data.size()) text += "…";
  return text;
}

std::string ReadEntryValue(RegistryBackend& registry, const UninstallKey& key, std::string_view name) {
  const std::unique_ptr<RegistryKey> open = registry.OpenKey(key.root, key.BackendPath(), KeyAccess::kRead);
  if (!open) return {};
  const std::optional<RegistryValue> value = open->ReadValue(name);
  return value ? ValueAsText(*value) : std::string();
}

std::vector<std::pair<std::string, std::string>> EntryValueRows(RegistryBackend& registry,
                                                                const UninstallKey& key,
                                                                const UninstallSystem& system) {
  std::vector<std::pair<std::string, std::string>> rows;
  const std::unique_ptr<RegistryKey> open = registry.OpenKey(key.root, key.BackendPath(), KeyAccess::kRead);
  if (!open) return rows;
  std::vector<std::string> names = open->ValueNames().value_or(std::vector<std::string>{});
  std::stable_sort(names.begin(), names.end(), [&system](const std::string& a, const std::string& b) {
    return system.CompareTextIgnoringCase(a, b) < 0;
  });
  for (std::string& name : names) {
    const std::optional<RegistryValue> value = open->ReadValue(name);
    std::string text = value ? ValueAsText(*value) : std::string();
    rows.emplace_back(std::move(name), std::move(text));
  }
  return rows;
}

}  // namespace orvela
