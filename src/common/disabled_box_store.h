// One Disabled Box file and its lines while the program runs: loaded once the window is
// shown, written at once after every change and again at close.
#pragma once
#include <string>
#include <vector>

namespace orvela {

class Prompt;

struct DisabledBoxStore {
  std::string path;
  std::vector<std::string> lines;
  // False when the file could not be read whole: it must not be written over.
  bool writable = true;

  // Reads the file; a damaged one is told about and, when no copy of it could be kept,
  // marked not writable.
  void Load(Prompt& prompt);
  // Writes the lines when the file may be written; tells the user when that failed.
  void SaveAtClose(Prompt& prompt) const;
};

}  // namespace orvela
