#include "common/kept_originals.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/file_io.h"

namespace orvela {
namespace {

constexpr std::string_view kMagic = "Orvela kept original 1";
constexpr std::string_view kExtension = ".kept";
constexpr std::string_view kBreak = "\r\n";

// The native build's paths use "/", Windows paths "\": a folder is joined with its own.
char SeparatorOf(std::string_view path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? '\\' : path[cut];
}

std::optional<unsigned long> NumberOf(std::string_view text) {
  unsigned long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return number;
}

// "12.kept" -> 12.
std::optional<unsigned long> ItemNumber(std::string_view name) {
  if (name.size() <= kExtension.size() || !name.ends_with(kExtension)) return std::nullopt;
  return NumberOf(name.substr(0, name.size() - kExtension.size()));
}

// Takes "key=" + value + CR LF from the front of `rest`.
std::optional<std::string_view> TakeField(std::string_view& rest, std::string_view key) {
  if (!rest.starts_with(key) || rest.substr(key.size(), 1) != "=") return std::nullopt;
  const size_t end = rest.find(kBreak);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view value = rest.substr(key.size() + 1, end - key.size() - 1);
  rest.remove_prefix(end + kBreak.size());
  return value;
}

}  // namespace

std::string KeptFolderOf(std::string_view box_path) {
  const char separator = SeparatorOf(box_path);
  const size_t cut = box_path.find_last_of("\\/");
  const std::string_view folder = cut == std::string_view::npos ? "" : box_path.substr(0, cut + 1);
  std::string_view stem = cut == std::string_view::npos ? box_path : box_path.substr(cut + 1);
  if (const size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0)
    stem = stem.substr(0, dot);
  return std::string(folder) + "kept" + separator + std::string(stem);
}

std::string FormatKeptItem(const KeptOriginal& item) {
  std::string text(kMagic);
  text += kBreak;
  text += "line=" + item.line + std::string(kBreak);
  if (item.is_file) {
    text += "file=" + item.file_name + std::string(kBreak);
  } else {
    text += "value=" + std::to_string(item.value.type) + std::string(kBreak);
  }
  const size_t size = item.is_file ? item.bytes.size() : item.value.data.size();
  text += "size=" + std::to_string(size) + std::string(kBreak) + std::string(kBreak);
  if (item.is_file) {
    text += item.bytes;
  } else {
    text.append(item.value.data.begin(), item.value.data.end());
  }
  return text;
}

std::optional<KeptOriginal> ParseKeptItem(std::string_view bytes) {
  if (!bytes.starts_with(kMagic) || bytes.substr(kMagic.size(), kBreak.size()) != kBreak)
    return std::nullopt;
  std::string_view rest = bytes.substr(kMagic.size() + kBreak.size());
  KeptOriginal item;
  const auto line = TakeField(rest, "line");
  if (!line) return std::nullopt;
  item.line = std::string(*line);
  if (const auto file = TakeField(rest, "file")) {
    item.is_file = true;
    item.file_name = std::string(*file);
    if (item.file_name.empty() || item.file_name.find_first_of("\\/") != std::string::npos)
      return std::nullopt;
  } else if (const auto value = TakeField(rest, "value")) {
    const auto type = NumberOf(*value);
    if (!type || *type > 0xFFFFFFFFul) return std::nullopt;
    item.value.type = static_cast<std::uint32_t>(*type);
  } else {
    return std::nullopt;
  }
  const auto size_text = TakeField(rest, "size");
  const auto size = size_text ? NumberOf(*size_text) : std::nullopt;
  if (!size || !rest.starts_with(kBreak)) return std::nullopt;
  rest.remove_prefix(kBreak.size());
  // A cut item is no original: it would put back less than was there.
  if (rest.size() != *size) return std::nullopt;
  if (item.is_file) {
    item.bytes = std::string(rest);
  } else {
    item.value.data.assign(rest.begin(), rest.end());
  }
  return item;
}

std::string KeptOriginals::PathOf(std::string_view id) const {
  std::string path = folder_;
  const char separator = SeparatorOf(folder_);
  if (!path.empty() && path.back() != separator) path += separator;
  return path + std::string(id);
}

std::optional<std::string> KeptOriginals::Keep(std::string_view item_bytes) {
  if (!MakeFolderTree(folder_)) return std::nullopt;
  unsigned long next = 1;
  for (const std::string& name : FileNamesIn(folder_))
    if (const auto number = ItemNumber(name)) next = std::max(next, *number + 1);
  // A number taken meanwhile is passed over: nothing is written over another item.
  for (int tries = 0; tries < 100; ++tries, ++next) {
    const std::string id = std::to_string(next) + std::string(kExtension);
    if (WriteNewFile(PathOf(id), item_bytes)) return id;
    if (ReadFileIfPresent(PathOf(id)).status == FileRead::Status::kMissing) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> KeptOriginals::KeepFile(std::string_view line,
                                                   std::string_view file_name,
                                                   std::string_view bytes) {
  KeptOriginal item;
  item.line = std::string(line);
  item.is_file = true;
  item.file_name = std::string(file_name);
  item.bytes = std::string(bytes);
  return Keep(FormatKeptItem(item));
}

std::optional<std::string> KeptOriginals::KeepValue(std::string_view line,
                                                    const RegistryValue& value) {
  KeptOriginal item;
  item.line = std::string(line);
  item.value = value;
  return Keep(FormatKeptItem(item));
}

std::optional<KeptOriginal> KeptOriginals::Find(std::string_view line) const {
  std::vector<std::pair<unsigned long, std::string>> items;
  for (std::string& name : FileNamesIn(folder_))
    if (const auto number = ItemNumber(name)) items.emplace_back(*number, std::move(name));
  std::sort(items.begin(), items.end());
  for (const auto& [number, name] : items) {
    const std::optional<std::string> bytes = ReadWholeFile(PathOf(name));
    std::optional<KeptOriginal> item = bytes ? ParseKeptItem(*bytes) : std::nullopt;
    if (item && item->line == line) {
      item->id = name;
      return item;
    }
  }
  return std::nullopt;
}

bool KeptOriginals::Drop(std::string_view id) { return DeleteFileAt(PathOf(id)); }

}  // namespace orvela
