// Whole-file reads and writes by UTF-8 path. A write never truncates the only copy:
// the new bytes go to a file beside the old one, which then replaces it in one step.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when every byte is on disk under `path`. On failure the old file, if any, is
// unchanged and no temporary file is left behind.
bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes);

// A read that tells a file that is not there from one that is there but cannot be read
// (locked by another program, no rights, a folder in its place): only the first may be
// taken as empty.
struct FileRead {
  enum class Status { kRead, kMissing, kUnreadable };
  Status status = Status::kMissing;
  std::string bytes;  // kRead only
};
FileRead ReadFileIfPresent(const std::string& path);

// Writes a file that must not exist yet, whole or not at all. False when the path is
// taken (nothing is written over) or the write failed (nothing is left behind).
bool WriteNewFile(const std::string& path, std::string_view bytes);

// Makes the folder and its missing parents; true when it exists afterwards.
bool MakeFolderTree(const std::string& path);

// The names of the files (not folders) in a folder; none when it cannot be listed.
std::vector<std::string> FileNamesIn(const std::string& folder);

// True when no file is at the path afterwards.
bool DeleteFileAt(const std::string& path);

}  // namespace orvela
