// Kept originals: beside every line of a Disabled Box, the exact thing it stood for, so
// enabling gives back what was there and not what the line can describe. A shortcut or
// other file is kept as its bytes, its file name, attributes and last-write time; a Run
// value as its type and bytes.
//
// One folder per box (data\kept\startup\ for data\startup.txt), one file per kept item,
// named "<n>.<key>.<state>": n counts up, key is the line's fingerprint (16 hex digits, so
// the items of a line are found by their names without reading any), and state is
//   pending  written, its line not yet in the box file: never used; the next load removes it
//   kept     the item of a line of the box
//   leaving  its line is leaving the box: it is the line's still while the line stands
//   unsure   set aside because no one can tell which line it is for: never used nor deleted
// Items of earlier versions are named "<n>.kept"; the first load names them by their line.
// An item file is
//
//   Orvela kept original 1<CR LF>
//   line=<the Disabled Box line, UTF-8><CR LF>
//   file=<the file name>   or   value=<REG_* type, decimal>   or   none=<CR LF>
//   metadata=<attributes> <last-write time>, decimal, files only, when known<CR LF>
//   size=<byte count, decimal><CR LF>
//   <CR LF>
//   <exactly that many bytes: the file's bytes, or the value's data as the registry holds it>
//
// "none" stands for a line that has no original (a Run value that was gone when it was
// disabled, or a line from before kept originals): it holds that line's place.
//
// Which line owns which item: among the lines of one text, the k-th line of the box owns
// the k-th kept item of that text by number. That holds only while both counts agree;
// when they do not (an item from an earlier version's kill, a line added by hand) no line
// of that text uses any item. DisabledBoxStore (disabled_box/disabled_box_store.h) makes every
// change in an order after which, killed at any step, the counts still tell the truth.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/shell_port.h"
#include "platform/file_io.h"
#include "platform/registry_backend.h"

namespace orvela {

enum class KeptKind { kNothing, kFile, kValue };

struct KeptOriginal {
  std::string id;    // the kept item's file name in its folder
  std::string line;  // the Disabled Box line it belongs to
  KeptKind kind = KeptKind::kNothing;
  std::string file_name;           // a file: its name as it was ("Mail.lnk")
  std::string bytes;               // a file: its bytes
  std::optional<FileMetadata> metadata;  // a file: its attributes and time, when they were read
  RegistryValue value;             // a value: type and data
};

KeptOriginal KeptFile(std::string_view line, std::string_view file_name, std::string_view bytes,
                      std::optional<FileMetadata> metadata);
KeptOriginal KeptValue(std::string_view line, const RegistryValue& value);
KeptOriginal KeptNothing(std::string_view line);

enum class KeptState { kPending, kKept, kLeaving, kUnsure };

// Which kept item a line of the box owns.
struct KeptPairing {
  enum class Status {
    kNone,    // no item of the line's text: a line from before kept originals
    kOwned,   // `id`
    kUnsure,  // items of the text, but not one per line: none is used
  };
  Status status = Status::kNone;
  std::string id;
};

// The pairing of line `row` from the box's lines and the names of the kept folder's files.
KeptPairing PairKeptItem(const std::vector<std::string>& lines, std::size_t row,
                         const std::vector<std::string>& names);

class KeptOriginals {
 public:
  explicit KeptOriginals(std::string folder) : folder_(std::move(folder)) {}
  const std::string& folder() const { return folder_; }

  KeptPairing PairingOf(const std::vector<std::string>& lines, std::size_t row) const;
  // The ids of the items of a line's text in state kept, by number.
  std::vector<std::string> ItemsOf(std::string_view line) const;
  // An item read whole; nullopt when it cannot be read or fits no form.
  std::optional<KeptOriginal> Read(std::string_view id) const;

  // A new item under a number never used, written whole; its id, or nullopt (nothing left).
  std::optional<std::string> Write(const KeptOriginal& item, KeptState state);
  // The same item in another state; its new id, or nullopt when it could not be renamed.
  std::optional<std::string> Move(std::string_view id, KeptState state);
  // A "none" item of a line becomes that line's original (of the same line), in one step.
  bool Fill(std::string_view id, const KeptOriginal& item);
  // Removes an item; true when it is gone.
  bool Drop(std::string_view id);

  // After a start: names earlier versions' items by their line, removes pending items, and
  // settles leaving ones by whether their line is still in `lines`.
  void Heal(const std::vector<std::string>& lines);

 private:
  std::string PathOf(std::string_view id) const;

  std::string folder_;
};

// Putting back. A kept shortcut stands for a line only when it leads where the line says:
// its stored target path is `target` (without case), or, for a line in item-id form, its
// target item id list is the hex `target`.
bool KeptShortcutLeadsTo(ShellPort& shell, const KeptOriginal& kept, std::string_view target,
                         bool item_id_form);
// Writes a kept file to `path` (in the place of the file there when `replace`), then gives
// it its attributes and time.
enum class KeptFileWrite { kWritten, kWrittenWithoutMetadata, kFailed };
KeptFileWrite WriteKeptFile(ShellPort& shell, const std::string& path, const KeptOriginal& kept,
                            bool replace);

// The kept originals folder of a Disabled Box file: "...\data\startup.txt" keeps its
// items in "...\data\kept\startup".
std::string KeptFolderOf(std::string_view box_path);

// A kept item file and back (exposed for the tests and the fuzz target). The parse refuses
// a file name that is no plain file name (platform/file_io.h): it is joined to a folder.
std::string FormatKeptItem(const KeptOriginal& item);
std::optional<KeptOriginal> ParseKeptItem(std::string_view bytes);

}  // namespace orvela
