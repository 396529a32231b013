#include <doctest.h>

#include "recent/recent_rows.h"

using namespace orvela;

namespace {

RecentRow Row(std::int64_t time, std::string name, std::string caption = "") {
  RecentRow row;
  row.time = time;
  row.name = std::move(name);
  row.caption = std::move(caption);
  return row;
}

std::vector<std::string> Names(const std::vector<RecentRow>& rows) {
  std::vector<std::string> names;
  for (const RecentRow& row : rows) names.push_back(row.name);
  return names;
}

std::string Identity(const std::string& text) { return text; }

}  // namespace

TEST_CASE("names: a file loses only its last extension, a folder and an '=' stay whole") {
  CHECK(NameWithoutExtension("C:\\Recent\\a=b.txt.lnk") == "a=b.txt");
  CHECK(NameWithoutExtension("報告書 (表).lnk") == "報告書 (表)");
  CHECK(NameWithoutExtension("README") == "README");
  CHECK(NameWithoutExtension(".lnk") == ".lnk");
  CHECK(EntryName("Tools 2.0", false) == "Tools 2.0");
  CHECK(EntryName("Tools 2.0", true) == "Tools 2");
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
  std::vector<RecentRow> rows{Row(200, "b"), Row(0, "none"), Row(300, "c"), Row(200, "a")};
  SortNewestFirst(rows);
  CHECK(Names(rows) == std::vector<std::string>{"c", "b", "a", "none"});
  SortRows(rows, 0, true, Identity);
  CHECK(Names(rows) == std::vector<std::string>{"none", "b", "a", "c"});

  SortRows(rows, 1, true, Identity);
  CHECK(Names(rows) == std::vector<std::string>{"a", "b", "c", "none"});

  rows[1].state = LinkState::kBroken;
  rows[1].selected = true;
  SortRows(rows, 2, true, Identity);  // as bytes "×" comes before "○"
  CHECK(rows[0].name == "b");
  CHECK(rows[0].selected);

  std::vector<RecentRow> programs{Row(0, "x", "All Users"), Row(0, "y", "taro"), Row(0, "z", "hanako")};
  SortNewestFirst(programs);
  CHECK(Names(programs) == std::vector<std::string>{"y", "z", "x"});
}

TEST_CASE("texts of the delete question and of the broken-file list") {
  CHECK(DeleteQuestion(1, "a=b") == "'a=b' を削除してもよろしいですか？");
  CHECK(DeleteQuestion(3, "a") == "3個のファイルを削除してもよろしいですか？");
  CHECK(BrokenNamesText({}) == "なし");
  CHECK(BrokenNamesText({"古い.lnk", "x.lnk"}) == "古い.lnk\nx.lnk\n");
}

TEST_CASE("dropping rows keeps the others in order") {
  std::vector<RecentRow> rows{Row(1, "a"), Row(2, "b"), Row(3, "c"), Row(4, "d")};
  DropRows(rows, {false, true, false});
  CHECK(Names(rows) == std::vector<std::string>{"a", "c", "d"});
}
