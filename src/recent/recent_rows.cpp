#include "recent/recent_rows.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace orvela {

std::string_view StateText(LinkState state) {
  switch (state) {
    case LinkState::kBroken: return "×";
    case LinkState::kSomeBroken: return "△";
    case LinkState::kWorks: break;
  }
  return "○";
}

std::uint32_t NameLength(std::string_view file_name) {
  const size_t dot = file_name.rfind('.');
  return static_cast<std::uint32_t>(dot == std::string_view::npos || dot == 0 ? file_name.size() : dot);
}

std::string NameWithoutExtension(std::string_view file_name) {
  const size_t slash = file_name.find_last_of("\\/");
  if (slash != std::string_view::npos) file_name.remove_prefix(slash + 1);
  return std::string(file_name.substr(0, NameLength(file_name)));
}

std::uint32_t EntryNameLength(std::string_view file_name, bool is_file) {
  return is_file ? NameLength(file_name) : static_cast<std::uint32_t>(file_name.size());
}

LinkState FolderState(int examined, int broken) {
  if (examined == 0 || broken == 0) return LinkState::kWorks;
  return broken >= examined ? LinkState::kBroken : LinkState::kSomeBroken;
}

SortState::Click SortState::OnColumnClick(int clicked) {
  Click click{clicked, ascending ? kAscendingImage : kDescendingImage, ascending,
              clicked != column ? column : -1};
  image = click.image;
  column = clicked;
  ascending = !ascending;
  return click;
}

RecentRow& RecentRows::Add(std::string_view file, std::uint32_t source) {
  RecentRow& row = rows.emplace_back();
  row.file_start = static_cast<std::uint32_t>(names.size());
  row.file_length = row.name_length = static_cast<std::uint32_t>(file.size());
  row.source = source;
  names.append(file);
  return row;
}

void RecentRows::Clear() {
  sources.clear();
  rows.clear();
  names.clear();
}

namespace {

int CompareBytes(const std::string& a, const std::string& b) { return a.compare(b); }

// Puts row order[i] at place i, in place: each cycle of the order is followed once.
void ApplyOrder(std::vector<RecentRow>& rows, std::vector<std::uint32_t>& order) {
  for (size_t start = 0; start < rows.size(); ++start) {
    if (order[start] == start) continue;
    const RecentRow held = rows[start];
    size_t at = start;
    while (order[at] != start) {
      const size_t from = order[at];
      rows[at] = rows[from];
      order[at] = static_cast<std::uint32_t>(at);
      at = from;
    }
    rows[at] = held;
    order[at] = static_cast<std::uint32_t>(at);
  }
}

}  // namespace

void SortRows(RecentRows& store, int column, bool ascending, const SortKeyOf& sort_key) {
  std::vector<RecentRow>& rows = store.rows;
  // The keys are made once per row: the locale-aware comparison is far too slow to run
  // for every pair of ten thousand rows.
  std::vector<std::string> keys;
  if (column != 0) {
    keys.reserve(rows.size());
    for (const RecentRow& row : rows)
      keys.push_back(sort_key(std::string(column == 1 ? store.NameOf(row) : StateText(row.state))));
  }
  auto compare = [&](size_t a, size_t b) {
    if (column != 0) return CompareBytes(keys[a], keys[b]);
    if (rows[a].time != rows[b].time) return rows[a].time < rows[b].time ? -1 : 1;
    if (rows[a].source == rows[b].source) return 0;
    return CompareBytes(store.CaptionOf(rows[a]), store.CaptionOf(rows[b]));
  };
  std::vector<std::uint32_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::uint32_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = compare(a, b);
    return ascending ? c < 0 : c > 0;
  });
  ApplyOrder(rows, order);
}

void SortNewestFirst(RecentRows& store) {
  // Every fill sorts: by small keys, then each row moved once.
  std::vector<RecentRow>& rows = store.rows;
  std::vector<std::pair<std::int64_t, std::uint32_t>> keys;
  keys.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) keys.emplace_back(rows[i].time, static_cast<std::uint32_t>(i));
  std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first > b.first;
    const RecentRow &x = rows[a.second], &y = rows[b.second];
    return x.source != y.source && store.CaptionOf(x) > store.CaptionOf(y);
  });
  std::vector<std::uint32_t> order(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].second;
  ApplyOrder(rows, order);
}

std::string DeleteQuestion(std::size_t selected, std::string_view name) {
  const std::string subject = selected == 1 ? "'" + std::string(name) + "' " : std::to_string(selected) + "個のファイル";
  return subject + "を削除してもよろしいですか？";
}

std::string BrokenNamesText(const std::vector<std::string>& names) {
  if (names.empty()) return "なし";
  std::string text;
  for (const std::string& name : names) text += name + "\n";
  return text;
}

void DropRows(std::vector<RecentRow>& rows, const std::vector<bool>& drop) {
  size_t kept = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (i >= drop.size() || !drop[i]) {
      if (kept != i) rows[kept] = std::move(rows[i]);  // a row moved onto itself would lose its texts
      ++kept;
    }
  rows.resize(kept);
}

}  // namespace orvela
