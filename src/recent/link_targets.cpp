#include "recent/link_targets.h"

#include <charconv>

namespace orvela {
namespace {

constexpr std::string_view kHeading = "Orvela shortcut targets 1\n";

bool FitsOneField(std::string_view text) { return text.find_first_of("\t\r\n") == std::string_view::npos; }

// The next tab-ended field of a line; false when there is none.
bool NextField(std::string_view& line, std::string_view& field) {
  const size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return false;
  field = line.substr(0, tab);
  line.remove_prefix(tab + 1);
  return true;
}

template <typename Number>
bool ReadNumber(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

const std::string* LinkTargets::Find(const std::string& path, std::int64_t time, std::uint32_t size) {
  const auto found = entries_.find(path);
  if (found == entries_.end() || found->second.time != time || found->second.size != size) return nullptr;
  found->second.used = true;
  return &found->second.target;
}

void LinkTargets::Keep(const std::string& path, std::int64_t time, std::uint32_t size, const std::string& target) {
  if (time == 0 || path.empty() || target.empty() || !FitsOneField(path) || !FitsOneField(target)) return;
  entries_[path] = Entry{time, size, target, true};
  changed_ = true;
}

std::string LinkTargets::Text() const {
  std::string text(kHeading);
  for (const auto& [path, entry] : entries_) {
    if (!entry.used) continue;
    text += std::to_string(entry.time) + '\t' + std::to_string(entry.size) + '\t';
    text += path;
    text += '\t';
    text += entry.target;
    text += '\n';
  }
  return text;
}

LinkTargets LinkTargets::FromText(std::string_view text) {
  LinkTargets targets;
  if (text.substr(0, kHeading.size()) != kHeading) return targets;
  text.remove_prefix(kHeading.size());
  for (size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1)) {
    std::string_view line = text.substr(0, end), time_text, size_text, path;
    Entry entry;
    if (!NextField(line, time_text) || !NextField(line, size_text) || !NextField(line, path) ||
        !ReadNumber(time_text, entry.time) || !ReadNumber(size_text, entry.size) || entry.time == 0 ||
        path.empty() || line.empty() || !FitsOneField(line))
      continue;  // a damaged line; a cut last line has no line break and is never read
    entry.target = std::string(line);
    targets.entries_[std::string(path)] = std::move(entry);
  }
  return targets;
}

std::string TargetFolderKey(std::string_view target) {
  const size_t slash = target.rfind('\\');
  std::string key(target.substr(0, slash == std::string_view::npos ? 0 : slash));
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

}  // namespace orvela
