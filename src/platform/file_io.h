// Whole-file reads and writes by UTF-8 path. A write never truncates the only copy:
// the new bytes go to a file beside the old one, which then replaces it in one step.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_error.h"

namespace orvela {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when every byte is on disk under `path`. On failure the old file, if any, is
// unchanged, no temporary file is left behind and `error` (when given) gets the system's
// code.
bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes, SystemError* error = nullptr);

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
// taken (nothing is written over) or the write failed (nothing is left behind); `error`
// then gets the system's code.
bool WriteNewFile(const std::string& path, std::string_view bytes, SystemError* error = nullptr);

// Where the two writes above put the bytes before they take the file's name: beside it,
// the last character of the name turned into "~" (or "_" where it is one). So the
// temporary file's path is never longer than the file's own and fits wherever it fits
// (Windows' paths end at 259 characters).
std::string TemporaryPathFor(std::string_view path);

// Makes the folder and its missing parents; true when it exists afterwards.
bool MakeFolderTree(const std::string& path);

// The names of the files (not folders) in a folder; none when it cannot be listed.
std::vector<std::string> FileNamesIn(const std::string& folder);

// True once `attempt` succeeds. While it fails with a sharing violation (the system's last
// error: a look-up reading a row's icon or target holds the file for a moment) it is tried
// again for up to about a second; never on a window's thread for many files.
bool RetryWhileShared(const std::function<bool()>& attempt);

// True when no file is at the path afterwards.
bool DeleteFileAt(const std::string& path);
// The same, waiting while another reader holds the file (RetryWhileShared).
bool DeleteFileWhenFree(const std::string& path);

// Renames a file; false, and nothing changed, when `to` is taken or the rename failed.
bool RenameFile(const std::string& from, const std::string& to);

// Up to `limit` bytes from the start of a file; nullopt when it cannot be read.
std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit);

// A file's attributes (FILE_ATTRIBUTE_* bits) and last-write time (100-nanosecond steps
// since 1601), as Windows keeps them: a desktop.ini is hidden and system, and a copy put
// back gets them again.
struct FileMetadata {
  std::uint32_t attributes = 0;
  std::uint64_t last_write = 0;
  bool operator==(const FileMetadata&) const = default;
};
// nullopt when the path is no file or cannot be asked.
std::optional<FileMetadata> ReadFileMetadata(const std::string& path);
// Gives the file that time and those attributes (the ones a file can be given); true when
// both were set.
bool ApplyFileMetadata(const std::string& path, const FileMetadata& metadata);

// A name read from a file (a line, a kept item) that is to become a path: one plain file
// name, with no "\", "/" or ":", no control or wildcard character, and not made of dots
// and blanks only (Windows would take ".." or "..." for a folder). Anything else could
// name a place outside the folder it is joined to.
bool IsPlainFileName(std::string_view name);
// folder + separator + name when `name` is a plain file name and the folder is known, else
// nullopt. The folder's own separator is used ("\" for Windows paths, "/" natively).
std::optional<std::string> PathInFolder(std::string_view folder, std::string_view name);

}  // namespace orvela
