#include "startup/startup_entries.h"

#include "platform/utf.h"

namespace orvela {
namespace {

// UTF-16LE bytes up to the first terminating zero; an odd last byte is dropped.
std::u16string Utf16Units(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    units.push_back(unit);
  }
  return units;
}

std::string StringData(std::string_view bytes) {
  std::u16string units = Utf16Units(bytes);
  const size_t end = units.find(u'\0');
  if (end != std::u16string::npos) units.resize(end);
  return Utf16ToUtf8(units);
}

std::string MultiStringData(std::string_view bytes) {
  const std::u16string units = Utf16Units(bytes);
  std::string joined;
  size_t start = 0;
  while (start < units.size()) {
    size_t end = units.find(u'\0', start);
    if (end == std::u16string::npos) end = units.size();
    if (end == start) break;  // the empty item ends the list
    if (!joined.empty()) joined += ' ';
    joined += Utf16ToUtf8(std::u16string_view(units).substr(start, end - start));
    start = end + 1;
  }
  return joined;
}

uint64_t LittleEndian(std::string_view bytes) {
  uint64_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::string HexBytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

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
  const std::unique_ptr<RegistryKey> key = registry.OpenKey(root, path, false);
  if (!key) return values;
  for (const std::string& name : key->ValueNames().value_or(std::vector<std::string>{})) {
    if (auto value = key->ReadValue(name)) values.push_back({name, std::move(*value)});
    if (pace) pace();
  }
  return values;
}

std::string RunValueText(const RegistryValue& value) {
  const std::string_view data(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
      return StringData(data);
    case kRegMultiSz:
      return MultiStringData(data);
    case kRegDword:
      if (data.size() == 4) return std::to_string(LittleEndian(data));
      break;
    case kRegQword:
      if (data.size() == 8) return std::to_string(LittleEndian(data));
      break;
    case kRegDwordBigEndian:
      if (data.size() == 4) {
        const std::string reversed(data.rbegin(), data.rend());
        return std::to_string(LittleEndian(reversed));
      }
      break;
    default:
      break;
  }
  return HexBytes(data);
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
                                               const std::vector<RunValue>& machine_run_once) {
  std::vector<EntryRecord> rows;
  rows.reserve(folder_items.size() + user_run.size() + machine_run.size() +
               machine_run_once.size());
  for (const FolderItem& item : folder_items) {
    EntryRecord& row = rows.emplace_back();
    row.Key = item.profile_index;
    row.Name = EntryNameOf(item.path);
    row.Command = item.path;
  }
  AppendRunValues(rows, user_run, kUserRunKey, "");
  AppendRunValues(rows, machine_run, kMachineKey, "Run");
  AppendRunValues(rows, machine_run_once, kMachineKey, "RunOnce");
  return rows;
}

int RowToReselect(const std::vector<EntryRecord>& rows, std::string_view remembered_name) {
  if (remembered_name.empty()) return -1;
  for (size_t i = rows.size(); i-- > 0;)
    if (rows[i].Name == remembered_name) return static_cast<int>(i);
  return -1;
}

}  // namespace orvela
