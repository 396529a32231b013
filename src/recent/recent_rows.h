// The rows of the recent-files and programs pages and the rules that need no window:
// names, state marks, the sort and its header marks, the texts of the questions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// The link state of an entry, shown as its mark.
enum class LinkState : std::uint8_t { kWorks, kBroken, kSomeBroken };
std::string_view StateText(LinkState state);  // "○", "×", "△"

// One row. Its path is kept as folder and file name, never packed into one text with its
// time or profile, so a name with "=" stays whole. The file name lives in its store's
// `names`: a fill of ten thousand rows makes no string per row, and a row is plain data.
struct RecentRow {
  std::int64_t time = 0;          // recent-files page: last write, UTC in FILETIME units; 0 for none
  std::uint32_t file_start = 0;   // the entry's own name as found: RecentRows::names from here
  std::uint32_t file_length = 0;
  std::uint32_t name_length = 0;  // sub-item 0 is the first name_length bytes of the file name
  std::uint32_t source = 0;       // the folder it was found in (RecentRows::sources)
  std::uint32_t size = 0;         // the file's size as found (its low 32 bits), with `time` its identity
  int image = -1;                 // in the system's small icon list; -1 until looked up
  std::int8_t overlay = -1;       // -1 none, 0 shared folder, 1 shortcut
  LinkState state = LinkState::kWorks;
  bool state_known = false;  // looked up once (shown, or resolved for the state sort)
  bool selected = false;     // carried through a sort, so the selection stays with its rows
  bool image_asked = false;  // the row was shown and its icon asked for
};

// A folder the rows came from, with the caption its rows show on the programs page.
struct RowSource {
  std::string folder;
  std::string caption;  // the profile; empty on the recent-files page
};

// RecentRows: the page's row store.
struct RecentRows {
  std::vector<RowSource> sources;
  std::vector<RecentRow> rows;
  std::string names;  // every row's file name, one after another

  size_t size() const { return rows.size(); }
  bool empty() const { return rows.empty(); }
  RecentRow& operator[](size_t i) { return rows[i]; }
  const RecentRow& operator[](size_t i) const { return rows[i]; }
  // A new row for the file name, found in `source`; its name is the whole file name.
  RecentRow& Add(std::string_view file, std::uint32_t source);
  // Empty, keeping the memory for the next fill.
  void Clear();
  std::string_view FileOf(const RecentRow& row) const {
    return std::string_view(names).substr(row.file_start, row.file_length);
  }
  std::string_view NameOf(const RecentRow& row) const { return FileOf(row).substr(0, row.name_length); }
  // Sub-item 2, the full path.
  std::string PathOf(const RecentRow& row) const {
    return sources[row.source].folder + "\\" + std::string(FileOf(row));
  }
  const std::string& CaptionOf(const RecentRow& row) const { return sources[row.source].caption; }
};

// The file name without folder and extension; a name whose only dot leads it keeps it.
std::string NameWithoutExtension(std::string_view file_name);
// The length of a file name's part without its extension.
std::uint32_t NameLength(std::string_view file_name);
// A programs entry's name: a file loses its extension, a folder keeps its whole name.
std::uint32_t EntryNameLength(std::string_view file_name, bool is_file);
// A folder's mark from its examined and broken files.
LinkState FolderState(int examined, int broken);

// The page's sort state. A fill resets it: column 0, image 27 (descending), the next
// sort ascending, states not all looked up.
inline constexpr int kDescendingImage = 27, kAscendingImage = 28;
struct SortState {
  int column = 0;
  int image = kDescendingImage;
  bool ascending = true;   // the direction of the next sort, shared by every column
  bool states_resolved = false;

  struct Click {
    int column, image;
    bool ascending;      // this sort's direction
    int column_cleared;  // the column whose header image goes, -1 when none
  };
  // What a click on `column` does; flips the direction for the next one.
  Click OnColumnClick(int column);
};

// Turns a text into a key whose bytes sort like the system's locale-aware comparison.
using SortKeyOf = std::function<std::string(const std::string&)>;
// Column 0 by time, then caption (bytes); 1 by name and 2 by mark, both through sort_key.
// Rows that compare equal keep their order.
void SortRows(RecentRows& rows, int column, bool ascending, const SortKeyOf& sort_key);
// The fills' order: newest first, or the profiles in descending byte order.
void SortNewestFirst(RecentRows& rows);

// "'name' を削除してもよろしいですか？" for one row, "3個のファイルを削除してもよろしいですか？" for more.
std::string DeleteQuestion(std::size_t selected, std::string_view name);
// "なし", or each name followed by a line break.
std::string BrokenNamesText(const std::vector<std::string>& names);
// Keeps the rows whose flag is false; the flags run parallel to the rows.
void DropRows(std::vector<RecentRow>& rows, const std::vector<bool>& drop);

}  // namespace orvela
