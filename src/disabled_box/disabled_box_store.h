// One Disabled Box file and its lines while the program runs: loaded once the window is
// shown, written at once after every change and again at close, with the kept originals
// of its lines beside it (disabled_box/kept_originals.h).
//
// The file is written only after it was loaded, and never when it was there but could not
// be read: a locked or damaged file stays exactly as it was for the whole run.
//
// A line and its kept original change together in an order that a kill at any step leaves
// readable: an item is written "pending" before its line and counts only once the line is
// in the file; an item is "leaving" before its line goes and is removed after. So no line
// ever takes another line's original, and the only copy of an entry is never removed.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/kept_originals.h"

namespace orvela {

class Prompt;

// Told, after "[" + name + "]\n", when a change would write a box that may not be written.
inline constexpr std::string_view kBoxNotLoadedText =
    "無効ボックスのファイルを読み込めなかったため、内容を失わないよう、"
    "このファイルには書き込みません。\n変更しませんでした。";
// Told, after "[" + name + "]\n", when the name a line or its kept original gives would
// make a path outside the folder it belongs in ("..\", "\", "/", ":").
inline constexpr std::string_view kNameLeavesFolderText =
    "名前に「\\」「/」「:」や「..」が含まれ、本来のフォルダの外を指すおそれがあるため、有効にしませんでした。\n"
    "無効ボックスのファイルが書き換えられた可能性があります。";
// Told when a line's kept original is not used: it cannot be read, does not give back what
// the line shows, or cannot be told from another line's.
inline constexpr std::string_view kKeptNotUsedText =
    "保存しておいた元の内容がこの行と一致しないか、どの行のものか確かめられないため、使いません。\n"
    "行の内容から作り直します。";
// Told when a file was put back but its attributes or time could not be.
inline constexpr std::string_view kMetadataNotRestoredText =
    "ファイルは元に戻しましたが、属性（隠しファイルなど）と更新日時を元に戻せませんでした。";

struct DisabledBoxStore {
  enum class State {
    kNotLoaded,   // before the first display: nothing may be written
    kLoaded,      // read whole, or there was no file: written after every change
    kUnreadable,  // there but not readable (locked, no rights, damaged): never written
  };

  std::string path;
  std::vector<std::string> lines;
  State state = State::kNotLoaded;

  // Reads the file. A file that is there but cannot be read whole is told about; the
  // lines that could be read are shown, and the file is left as it is.
  void Load(Prompt& prompt);
  bool writable() const { return state == State::kLoaded; }
  // The box becomes `new_lines`, in its file and in memory; false (nothing changed) when
  // the file may not be written or the write failed.
  bool Commit(std::vector<std::string> new_lines);
  // Writes the lines when the file was loaded; tells the user when that failed.
  void SaveAtClose(Prompt& prompt) const;

  // `line` becomes the box's last line with `original` kept beside it (nullopt: there is
  // nothing to keep). Nothing changed unless kAdded.
  enum class AddResult { kAdded, kNotKept, kNotWritten };
  AddResult Add(const std::string& line, const std::optional<KeptOriginal>& original);
  // Line `row` leaves the box, and its kept original with it. False, and the line stays
  // (in memory as in the file), when the file or the kept folder could not be written.
  bool Remove(size_t row);

  // The kept original of line `row`, read only when there is one.
  struct KeptLookup {
    enum class Status {
      kNone,      // the line has none: it is made again from the line
      kFound,     // `original`
      kUnusable,  // there is one, but it cannot be read, is another line's or cannot be told apart
    };
    Status status = Status::kNone;
    KeptOriginal original;
  };
  KeptLookup KeptOf(size_t row) const;
  // Line `row`, which has no original, gets `original`; true also when it has one already.
  bool KeepFor(size_t row, const KeptOriginal& original);

  KeptOriginals kept() const { return KeptOriginals(KeptFolderOf(path)); }
};

}  // namespace orvela
