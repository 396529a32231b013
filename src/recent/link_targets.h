// The stored targets of shortcuts read before, remembered across fills and runs: a state
// sort of thousands of shortcuts then asks the file system only whether each target is
// there, instead of opening every shortcut again (under Wine opening and closing a file
// costs twenty to thirty times what listing it does).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvela {

class LinkTargets {
 public:
  // A shortcut is known under its path, last-write time and size: rewritten, it is read
  // again. nullptr when not known.
  const std::string* Find(const std::string& path, std::int64_t time, std::uint32_t size);
  // Remembers what reading the shortcut found. A target that could not stand on one line
  // of the kept text (a damaged shortcut) and a shortcut without a time are not kept.
  void Keep(const std::string& path, std::int64_t time, std::uint32_t size, const std::string& target);

  // The kept text: a heading line, then one line a shortcut: time, size, path and target
  // apart by tabs (no file name holds a tab or a line break). Only the shortcuts found or kept since
  // the text was read, so the shortcuts deleted meanwhile leave it.
  std::string Text() const;
  // The store of a kept text; what it cannot read (another heading, a damaged line) is
  // left out.
  static LinkTargets FromText(std::string_view text);
  // Shortcuts kept since the text was read or last taken.
  bool changed() const { return changed_; }
  void MarkSaved() { changed_ = false; }
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::int64_t time = 0;
    std::uint32_t size = 0;
    std::string target;
    bool used = false;  // found or kept since the text was read
  };
  std::unordered_map<std::string, Entry> entries_;
  bool changed_ = false;
};

// The folder part of a stored target, ASCII letters in lower case: targets with the same key
// lie in one folder, which a state sort may list once instead of asking for each.
std::string TargetFolderKey(std::string_view target);

}  // namespace orvela
