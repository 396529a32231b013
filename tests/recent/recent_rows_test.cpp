#include <doctest.h>

#include "recent/recent_rows.h"

using namespace orvela;

namespace {

// Rows of the recent-files page (one folder) or of profiles' folders, by caption.
RecentRows Rows(std::vector<std::pair<std::int64_t, std::string>> rows, std::vector<std::string> captions = {}) {
  RecentRows store;
  if (captions.empty()) captions.push_back("");
  for (size_t i = 0; i < rows.size(); ++i) {
    if (i < captions.size()) store.sources.push_back({"C:\\F" + std::to_string(i), captions[i]});
    RecentRow& row = store.Add(rows[i].second + ".lnk", captions.size() > 1 ? static_cast<std::uint32_t>(i) : 0);
    row.time = rows[i].first;
    row.name_length = NameLength(store.FileOf(row));
  }
  return store;
}

std::vector<std::string> Names(const RecentRows& rows) {
  std::vector<std::string> names;
  for (const RecentRow& row : rows.rows) names.emplace_back(rows.NameOf(row));
  return names;
}

std::string Identity(const std::string& text) { return text; }

}  // namespace

TEST_CASE("names: a file loses only its last extension, a folder and an '=' stay whole") {
  CHECK(NameWithoutExtension("C:\\Recent\\a=b.txt.lnk") == "a=b.txt");
  CHECK(NameWithoutExtension("報告書 (表).lnk") == "報告書 (表)");
  CHECK(NameWithoutExtension("README") == "README");
  CHECK(NameWithoutExtension(".lnk") == ".lnk");
  CHECK(EntryNameLength("Tools 2.0", false) == 9);
  CHECK(EntryNameLength("Tools 2.0", true) == 7);
  RecentRows rows = Rows({{1, "a=b"}});
  CHECK(rows.PathOf(rows[0]) == "C:\\F0\\a=b.lnk");
}

TEST_CASE("a folder's mark: none broken or nothing examined, some, all") {
  CHECK(StateText(FolderState(0, 0)) == "○");
  CHECK(StateText(FolderState(3, 0)) == "○");
  CHECK(StateText(FolderState(3, 1)) == "△");
  CHECK(StateText(FolderState(3, 3)) == "×");
}

TEST_CASE("sort state: descending mark after a fill, the direction shared by every column") {
  SortState sort;
  CHECK(sort.column == 0);
  CHECK(sort.image == kDescendingImage);

  SortState::Click first = sort.OnColumnClick(0);
  CHECK(first.ascending);
  CHECK(first.image == kAscendingImage);
  CHECK(first.column_cleared == -1);

  SortState::Click second = sort.OnColumnClick(2);
  CHECK_FALSE(second.ascending);
  CHECK(second.image == kDescendingImage);
  CHECK(second.column_cleared == 0);
  CHECK(sort.column == 2);
  CHECK(sort.image == kDescendingImage);
  CHECK(sort.OnColumnClick(2).ascending);
}

TEST_CASE("rows sort by time, caption, name or mark, equal rows keeping their order") {
  RecentRows rows = Rows({{200, "b"}, {0, "none"}, {300, "c"}, {200, "a"}});
  SortNewestFirst(rows);
  CHECK(Names(rows) == std::vector<std::string>{"c", "b", "a", "none"});
  SortRows(rows, 0, true, Identity);
  CHECK(Names(rows) == std::vector<std::string>{"none", "b", "a", "c"});

  SortRows(rows, 1, true, Identity);
  CHECK(Names(rows) == std::vector<std::string>{"a", "b", "c", "none"});

  rows[1].state = LinkState::kBroken;
  rows[1].selected = true;
  SortRows(rows, 2, true, Identity);  // as bytes "×" comes before "○"
  CHECK(rows.NameOf(rows[0]) == "b");
  CHECK(rows[0].selected);

  RecentRows programs = Rows({{0, "x"}, {0, "y"}, {0, "z"}}, {"All Users", "taro", "hanako"});
  SortNewestFirst(programs);
  CHECK(Names(programs) == std::vector<std::string>{"y", "z", "x"});
  CHECK(programs.CaptionOf(programs[0]) == "taro");
}

TEST_CASE("texts of the delete question and of the broken-file list") {
  CHECK(DeleteQuestion(1, "a=b") == "'a=b' を削除してもよろしいですか？");
  CHECK(DeleteQuestion(3, "a") == "3個のファイルを削除してもよろしいですか？");
  CHECK(BrokenNamesText({}) == "なし");
  CHECK(BrokenNamesText({"古い.lnk", "x.lnk"}) == "古い.lnk\nx.lnk\n");
}

TEST_CASE("dropping rows keeps the others in order") {
  RecentRows rows = Rows({{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}});
  DropRows(rows.rows, {false, true, false});
  CHECK(Names(rows) == std::vector<std::string>{"a", "c", "d"});
}
