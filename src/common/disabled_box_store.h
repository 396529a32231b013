// One Disabled Box file and its lines while the program runs: loaded once the window is
// shown, written at once after every change and again at close, with the kept originals
// of its lines beside it (common/kept_originals.h).
//
// The file is written only after it was loaded, and never when it was there but could not
// be read: a locked or damaged file stays exactly as it was for the whole run.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/kept_originals.h"

namespace orvela {

class Prompt;

// Told, after "[" + name + "]\n", when a change would write a box that may not be written.
inline constexpr std::string_view kBoxNotLoadedText =
    "無効ボックスのファイルを読み込めなかったため、内容を失わないよう、"
    "このファイルには書き込みません。\n変更しませんでした。";

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

  KeptOriginals kept() const { return KeptOriginals(KeptFolderOf(path)); }
};

}  // namespace orvela
