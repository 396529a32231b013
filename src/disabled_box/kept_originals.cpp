#include "disabled_box/kept_originals.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>

#include "system/locations.h"
#include "components/item_id_list.h"

namespace orvela {
namespace {

constexpr std::string_view kMagic = "Orvela kept original 1";
constexpr std::string_view kBreak = "\r\n";
constexpr std::string_view kStateNames[] = {"pending", "kept", "leaving", "unsure"};
// How far an earlier version's item is read for its line: box lines are far shorter.
constexpr std::size_t kHeadLimit = 1 << 20;

template <typename Number>
std::optional<Number> NumberOf(std::string_view text) {
  Number number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return number;
}

// FNV-1a over the line's bytes, as 16 upper-case hex digits.
std::string LineKey(std::string_view line) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : line) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  std::string key(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) key[static_cast<size_t>(i)] = "0123456789ABCDEF"[hash & 0xF];
  return key;
}

// "12.<key>.kept" and the like; "12.kept" (an earlier version's) has no key.
struct KeptName {
  unsigned long number = 0;
  std::string key;
  KeptState state = KeptState::kKept;
};

std::optional<KeptName> ParseKeptName(std::string_view name) {
  const size_t first = name.find('.'), last = name.rfind('.');
  if (first == std::string_view::npos) return std::nullopt;
  const auto number = NumberOf<unsigned long>(name.substr(0, first));
  const auto state = std::find(std::begin(kStateNames), std::end(kStateNames), name.substr(last + 1));
  if (!number || state == std::end(kStateNames)) return std::nullopt;
  const std::string_view key = first == last ? "" : name.substr(first + 1, last - first - 1);
  const auto parsed_state = static_cast<KeptState>(state - std::begin(kStateNames));
  if (first == last ? parsed_state != KeptState::kKept : key.size() != 16) return std::nullopt;
  return KeptName{*number, std::string(key), parsed_state};
}

std::string KeptNameOf(unsigned long number, std::string_view key, KeptState state) {
  return std::to_string(number) + "." + std::string(key) + "." +
         std::string(kStateNames[static_cast<int>(state)]);
}

// The kept items of one key, by number.
std::vector<std::string> ItemsWithKey(const std::vector<std::string>& names, std::string_view key) {
  std::vector<std::pair<unsigned long, std::string>> found;
  for (const std::string& name : names)
    if (const auto parsed = ParseKeptName(name); parsed && parsed->key == key && parsed->state == KeptState::kKept)
      found.emplace_back(parsed->number, name);
  std::sort(found.begin(), found.end());
  std::vector<std::string> ids;
  for (auto& [number, name] : found) ids.push_back(std::move(name));
  return ids;
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

// The head of an item: everything but its payload, and the payload's announced size.
// `rest` is left at the payload.
std::optional<std::pair<KeptOriginal, std::size_t>> ParseHead(std::string_view& rest) {
  if (!rest.starts_with(kMagic) || rest.substr(kMagic.size(), kBreak.size()) != kBreak) return std::nullopt;
  rest.remove_prefix(kMagic.size() + kBreak.size());
  KeptOriginal item;
  const auto line = TakeField(rest, "line");
  if (!line) return std::nullopt;
  item.line = std::string(*line);
  if (const auto file = TakeField(rest, "file")) {
    item.kind = KeptKind::kFile;
    item.file_name = std::string(*file);
    if (!IsPlainFileName(item.file_name)) return std::nullopt;
    if (const auto metadata = TakeField(rest, "metadata")) {
      const size_t blank = metadata->find(' ');
      const auto attributes = NumberOf<std::uint32_t>(metadata->substr(0, blank));
      const auto time = blank == std::string_view::npos ? std::nullopt : NumberOf<std::uint64_t>(metadata->substr(blank + 1));
      if (!attributes || !time) return std::nullopt;
      item.metadata = FileMetadata{*attributes, *time};
    }
  } else if (const auto value = TakeField(rest, "value")) {
    const auto type = NumberOf<std::uint32_t>(*value);
    if (!type) return std::nullopt;
    item.kind = KeptKind::kValue;
    item.value.type = *type;
  } else if (const auto none = TakeField(rest, "none"); !none || !none->empty()) {
    return std::nullopt;
  }
  const auto size_text = TakeField(rest, "size");
  const auto size = size_text ? NumberOf<std::size_t>(*size_text) : std::nullopt;
  if (!size || !rest.starts_with(kBreak)) return std::nullopt;
  rest.remove_prefix(kBreak.size());
  return std::make_pair(std::move(item), *size);
}

}  // namespace

KeptOriginal KeptFile(std::string_view line, std::string_view file_name, std::string_view bytes,
                      std::optional<FileMetadata> metadata) {
  KeptOriginal item = KeptNothing(line);
  item.kind = KeptKind::kFile;
  item.file_name = std::string(file_name);
  item.bytes = std::string(bytes);
  item.metadata = metadata;
  return item;
}

KeptOriginal KeptValue(std::string_view line, const RegistryValue& value) {
  KeptOriginal item = KeptNothing(line);
  item.kind = KeptKind::kValue;
  item.value = value;
  return item;
}

KeptOriginal KeptNothing(std::string_view line) {
  KeptOriginal item;
  item.line = std::string(line);
  return item;
}

bool KeptShortcutLeadsTo(ShellPort& shell, const KeptOriginal& kept, std::string_view target,
                         bool item_id_form) {
  const std::optional<ShortcutTarget> stored = shell.ShortcutTargetOf(kept.bytes);
  if (!stored) return false;
  if (!item_id_form) return !stored->path.empty() && EqualsIgnoringCase(stored->path, target);
  const auto& list = stored->item_id_list;
  return !list.empty() && ItemIdListToHex(list.data(), list.size()) == target;
}

KeptFileWrite WriteKeptFile(ShellPort& shell, const std::string& path, const KeptOriginal& kept,
                            bool replace) {
  if (!shell.WriteFileBytes(path, kept.bytes, replace)) return KeptFileWrite::kFailed;
  if (kept.metadata && !shell.SetFileMetadata(path, *kept.metadata)) return KeptFileWrite::kWrittenWithoutMetadata;
  return KeptFileWrite::kWritten;
}

std::string KeptFolderOf(std::string_view box_path) {
  const size_t cut = box_path.find_last_of("\\/");
  const std::string_view folder = cut == std::string_view::npos ? "" : box_path.substr(0, cut + 1);
  std::string_view stem = cut == std::string_view::npos ? box_path : box_path.substr(cut + 1);
  if (const size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0)
    stem = stem.substr(0, dot);
  return PathInFolder(std::string(folder) + "kept", stem).value_or("");
}

std::string FormatKeptItem(const KeptOriginal& item) {
  std::string text = std::string(kMagic) + "\r\nline=" + item.line + "\r\n";
  std::string_view payload;
  switch (item.kind) {
    case KeptKind::kNothing:
      text += "none=\r\n";
      break;
    case KeptKind::kFile:
      text += "file=" + item.file_name + "\r\n";
      if (item.metadata)
        text += "metadata=" + std::to_string(item.metadata->attributes) + " " + std::to_string(item.metadata->last_write) + "\r\n";
      payload = item.bytes;
      break;
    case KeptKind::kValue:
      text += "value=" + std::to_string(item.value.type) + "\r\n";
      payload = std::string_view(reinterpret_cast<const char*>(item.value.data.data()), item.value.data.size());
      break;
  }
  return text + "size=" + std::to_string(payload.size()) + "\r\n\r\n" + std::string(payload);
}

std::optional<KeptOriginal> ParseKeptItem(std::string_view bytes) {
  auto head = ParseHead(bytes);
  // A cut item is no original: it would put back less than was there.
  if (!head || bytes.size() != head->second) return std::nullopt;
  KeptOriginal& item = head->first;
  if (item.kind == KeptKind::kNothing && !bytes.empty()) return std::nullopt;
  if (item.kind == KeptKind::kFile) item.bytes = std::string(bytes);
  if (item.kind == KeptKind::kValue) item.value.data.assign(bytes.begin(), bytes.end());
  return std::move(item);
}

KeptPairing PairKeptItem(const std::vector<std::string>& lines, std::size_t row,
                         const std::vector<std::string>& names) {
  if (row >= lines.size()) return {};
  const std::string& line = lines[row];
  const auto occurrence = static_cast<size_t>(std::count(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(row), line));
  const auto count = static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
  std::vector<std::string> items = ItemsWithKey(names, LineKey(line));
  if (items.empty()) return {};
  if (items.size() != count) return {KeptPairing::Status::kUnsure, {}};
  return {KeptPairing::Status::kOwned, std::move(items[occurrence])};
}

// Ids are the program's own names; an unknown folder gives a path no file call accepts.
std::string KeptOriginals::PathOf(std::string_view id) const { return PathInFolder(folder_, id).value_or(""); }

KeptPairing KeptOriginals::PairingOf(const std::vector<std::string>& lines, std::size_t row) const {
  return PairKeptItem(lines, row, FileNamesIn(folder_));
}

std::vector<std::string> KeptOriginals::ItemsOf(std::string_view line) const {
  return ItemsWithKey(FileNamesIn(folder_), LineKey(line));
}

std::optional<KeptOriginal> KeptOriginals::Read(std::string_view id) const {
  const std::optional<std::string> bytes = ParseKeptName(id) ? ReadWholeFile(PathOf(id)) : std::nullopt;
  std::optional<KeptOriginal> item = bytes ? ParseKeptItem(*bytes) : std::nullopt;
  if (item) item->id = std::string(id);
  return item;
}

std::optional<std::string> KeptOriginals::Write(const KeptOriginal& item, KeptState state) {
  if (!MakeFolderTree(folder_)) return std::nullopt;
  unsigned long next = 1;
  for (const std::string& name : FileNamesIn(folder_))
    if (const auto parsed = ParseKeptName(name)) next = std::max(next, parsed->number + 1);
  const std::string bytes = FormatKeptItem(item);
  // A number taken meanwhile is passed over: nothing is written over another item.
  for (int tries = 0; tries < 100; ++tries, ++next) {
    const std::string id = KeptNameOf(next, LineKey(item.line), state);
    if (WriteNewFile(PathOf(id), bytes)) return id;
    if (ReadFileIfPresent(PathOf(id)).status == FileRead::Status::kMissing) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> KeptOriginals::Move(std::string_view id, KeptState state) {
  const std::optional<KeptName> name = ParseKeptName(id);
  if (!name) return std::nullopt;
  const std::string moved = KeptNameOf(name->number, name->key, state);
  if (!RenameFile(PathOf(id), PathOf(moved))) return std::nullopt;
  return moved;
}

bool KeptOriginals::Fill(std::string_view id, const KeptOriginal& item) {
  const std::optional<KeptName> name = ParseKeptName(id);
  return name && name->key == LineKey(item.line) && WriteWholeFileReplacing(PathOf(id), FormatKeptItem(item));
}

bool KeptOriginals::Drop(std::string_view id) { return ParseKeptName(id) && DeleteFileAt(PathOf(id)); }

void KeptOriginals::Heal(const std::vector<std::string>& lines) {
  for (const std::string& name : FileNamesIn(folder_)) {
    const std::optional<KeptName> parsed = ParseKeptName(name);
    if (!parsed) continue;
    if (parsed->state == KeptState::kPending) {
      // Written by a disable that did not end: its entry was never removed.
      Drop(name);
    } else if (parsed->key.empty()) {
      // An earlier version's item: its line gives its name. One that cannot be read stays as it is.
      const std::optional<std::string> head = ReadFileHead(PathOf(name), kHeadLimit);
      std::string_view rest = head ? std::string_view(*head) : std::string_view();
      if (const auto item = ParseHead(rest))
        RenameFile(PathOf(name), PathOf(KeptNameOf(parsed->number, LineKey(item->first.line), KeptState::kKept)));
    }
  }
  // A leaving item whose line still stands is the line's again; one whose line left goes.
  std::map<std::string, size_t> line_counts;
  for (const std::string& line : lines) ++line_counts[LineKey(line)];
  const std::vector<std::string> names = FileNamesIn(folder_);
  for (const std::string& name : names) {
    const std::optional<KeptName> parsed = ParseKeptName(name);
    if (!parsed || parsed->state != KeptState::kLeaving) continue;
    const size_t kept = ItemsWithKey(names, parsed->key).size();
    const size_t leaving = static_cast<size_t>(std::count_if(names.begin(), names.end(), [&](const std::string& other) {
      const auto item = ParseKeptName(other);
      return item && item->key == parsed->key && item->state == KeptState::kLeaving;
    }));
    if (line_counts[parsed->key] == kept + leaving) {
      Move(name, KeptState::kKept);
    } else if (line_counts[parsed->key] == kept) {
      Drop(name);
    }
  }
}

}  // namespace orvela
