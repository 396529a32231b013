// File access through the W functions, so any path the user has works.
#include <windows.h>

#include <algorithm>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/handles_win.h"
#include "platform/message_pump_win.h"
#include "platform/wide_win.h"

namespace orvela {

namespace {

bool NotThere(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME;
}

}  // namespace

FileRead ReadFileIfPresent(const std::string& path) {
  FileRead result;
  UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (!NotThere(GetLastError())) result.status = FileRead::Status::kUnreadable;
    return result;
  }
  result.status = FileRead::Status::kUnreadable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return result;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                  nullptr))
      return result;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  result.status = FileRead::Status::kRead;
  result.bytes = std::move(bytes);
  return result;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileRead read = ReadFileIfPresent(path);
  if (read.status != FileRead::Status::kRead) return std::nullopt;
  return std::move(read.bytes);
}

namespace {

// The system's code of a step that failed, or of a short write (the disk is full).
DWORD FailureCode() {
  const DWORD code = GetLastError();
  return code == ERROR_SUCCESS ? ERROR_DISK_FULL : code;
}

DWORD WriteThenMoveNow(const std::wstring& temp, const std::wstring& target, std::string_view bytes,
                       DWORD move_flags) {
  DWORD error = ERROR_SUCCESS;
  {
    UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    size_t done = 0;
    while (error == ERROR_SUCCESS && done < bytes.size()) {
      DWORD wrote = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
      if (!WriteFile(file.get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote != chunk) error = FailureCode();
      done += wrote;
    }
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) error = FailureCode();
  }
  if (error == ERROR_SUCCESS && !MoveFileExW(temp.c_str(), target.c_str(), move_flags)) error = FailureCode();
  if (error != ERROR_SUCCESS) DeleteFileW(temp.c_str());
  return error;
}

// Writes the bytes to the temporary file beside `path` and flushes them, then moves it onto
// `path` with `move_flags`; the temporary file is removed again when any step fails. The
// window keeps answering and painting meanwhile; the caller goes on only when the file is on
// disk.
bool WriteThenMove(const std::string& path, std::string_view bytes, DWORD move_flags, SystemError* error) {
  DWORD code = ERROR_SUCCESS;
  RunWhileAnswering([&] { code = WriteThenMoveNow(Wide(TemporaryPathFor(path)), Wide(path), bytes, move_flags); });
  if (error) *error = code;
  return code == ERROR_SUCCESS;
}

}  // namespace

bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes, SystemError* error) {
  return WriteThenMove(path, bytes, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, error);
}

bool WriteNewFile(const std::string& path, std::string_view bytes, SystemError* error) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails where a file is: nothing is written over.
  return WriteThenMove(path, bytes, MOVEFILE_WRITE_THROUGH, error);
}

bool MakeFolderTree(const std::string& path) { return CreateFolderTree(path); }

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;  // no folder is not the current one
  std::wstring pattern = Wide(folder);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

bool DeleteFileAt(const std::string& path) {
  const std::wstring wide = Wide(path);
  DeleteFileW(wide.c_str());
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES && NotThere(GetLastError());
}

bool RetryWhileShared(const std::function<bool()>& attempt) {
  for (int tries = 1;; ++tries) {
    if (attempt()) return true;
    if (GetLastError() != ERROR_SHARING_VIOLATION || tries == 40) return false;
    Sleep(25);
  }
}

bool DeleteFileWhenFree(const std::string& path) {
  const std::wstring wide = Wide(path);
  RetryWhileShared([&] { return DeleteFileW(wide.c_str()) != 0; });
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES && NotThere(GetLastError());
}

bool RenameFile(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING a file at `to` makes the move fail.
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit) {
  UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(limit, '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

std::optional<FileMetadata> ReadFileMetadata(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return FileMetadata{data.dwFileAttributes, (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                              data.ftLastWriteTime.dwLowDateTime};
}

bool ApplyFileMetadata(const std::string& path, const FileMetadata& metadata) {
  const std::wstring wide = Wide(path);
  {
    // Attribute access only: a read-only file takes its time too.
    UniqueFile file(CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    const FILETIME time{static_cast<DWORD>(metadata.last_write), static_cast<DWORD>(metadata.last_write >> 32)};
    if (!file || !SetFileTime(file.get(), nullptr, nullptr, &time)) return false;
  }
  // What a file may be given; the rest (folder, compressed, encrypted, a reparse point) the
  // system keeps for itself.
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = metadata.attributes & kSettable;
  return SetFileAttributesW(wide.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}

}  // namespace orvela
