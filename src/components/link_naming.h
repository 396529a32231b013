// How shortcut files are named: forbidden characters become their full-width forms, a
// name is derived from the target when none is given, and a free file name is found by
// numbering. Portable: the file system is reached only through LinkFileSystem, so the
// rules run natively against a fake one.
//
// All text is UTF-8. On decoded text an ASCII byte is always a whole character (never
// the trail byte of a double-byte character), so every occurrence is replaced and a
// trailing backslash is always a real separator.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// What the naming rules need to know of the file system.
class LinkFileSystem {
 public:
  virtual ~LinkFileSystem() = default;
  // An existing file (not a folder).
  virtual bool FileExists(const std::string& path) const = 0;
  virtual bool FolderExists(const std::string& path) const = 0;
};

// Replaces every occurrence of `from` in `text` by `to`, left to right; replaced text is
// not searched again. An empty `from` changes nothing.
void MogChange(std::string& text, std::string_view from, std::string_view to);

// The name with the characters a file name cannot hold (and ".") replaced by their
// full-width forms: . / " : ; * < > ? \ |
std::string FileMogChk(std::string name);

// The path with a trailing backslash, unless it names an existing file (then unchanged).
// An empty path gives "\".
std::string PathToSetKugiriMog(const LinkFileSystem& fs, std::string path);

// The last component of a path ("\", "/" and ":" separate).
std::string FileNamePart(std::string_view path);

// The name without its extension (from its last "."). A name that would become empty
// (".profile") is kept whole, so a shortcut never ends up named ".lnk".
std::string RemoveExtension(std::string_view name);

// folder + "\" + name, without doubling a separator the folder already ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

// What the shell says of a target item that has no file-system path.
struct ShellItemName {
  std::string display_name;
  bool is_folder = false;
};

struct LinkRequest {
  std::string name;         // wanted display name; empty: derived from the target
  std::string target_path;  // file-system target; empty when the target is a shell item
  bool has_item = false;    // an item id list is given (used when target_path is empty)
  std::string folder;       // where the shortcut goes
  bool overwrite = false;   // replace a shortcut of the same name instead of numbering
  bool probe = false;       // only find out whether the plain name is taken
};

struct LinkPlan {
  std::string path;         // the shortcut file to write (or, when probing, the free name)
  bool name_taken = false;  // probing: the plain name exists already
};

// Where the shortcut for a request goes. nullopt when nothing may be written: the target
// path does not exist, there is neither path nor item, the folder is empty or no name
// can be formed. `describe_item` is asked only for an item target without a given name;
// nullopt from it means the shell knew nothing of the item.
std::optional<LinkPlan> PlanLink(const LinkFileSystem& fs, const LinkRequest& request,
                                 const std::function<std::optional<ShellItemName>()>& describe_item);

// The answer of probe mode: whether the plain name is free or taken, or no shortcut could be
// made at all.
enum class LinkNameProbe { kNoShortcut, kFree, kTaken };
LinkNameProbe ProbeAnswer(const std::optional<LinkPlan>& plan);

// The files a delete by name tries, in order: the file-name part of `name` with its
// extension changed to ".lnk", `name` + ".lnk", then `alternative` + ".lnk" if given.
// Empty when the folder is unknown (never guess the current drive's root).
std::vector<std::string> DeleteLinkCandidates(std::string_view folder, std::string_view name,
                                              std::string_view alternative);

}  // namespace orvela
