// The native build's file access (paths are UTF-8 bytes there).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"

namespace orvela {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes, SystemError* code) {
  const std::string temp = TemporaryPathFor(path);
  if (code) *code = kErrorAccessDenied;  // the native build only tells success from failure
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  std::error_code error;
  if (ok) std::filesystem::rename(temp, path, error);
  if (!ok || error) {
    std::filesystem::remove(temp, error);
    return false;
  }
  if (code) *code = kErrorNone;
  return true;
}

FileRead ReadFileIfPresent(const std::string& path) {
  FileRead result;
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return result;
  result.status = FileRead::Status::kUnreadable;
  if (error || !std::filesystem::is_regular_file(path, error)) return result;
  if (std::optional<std::string> bytes = ReadWholeFile(path)) {
    result.status = FileRead::Status::kRead;
    result.bytes = std::move(*bytes);
  }
  return result;
}

bool WriteNewFile(const std::string& path, std::string_view bytes, SystemError* code) {
  const std::string temp = TemporaryPathFor(path);
  if (code) *code = kErrorAccessDenied;  // the native build only tells success from failure
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  // A hard link is made only where no file is: nothing is written over.
  ok = ok && ::link(temp.c_str(), path.c_str()) == 0;
  ::unlink(temp.c_str());
  if (ok && code) *code = kErrorNone;
  return ok;
}

bool MakeFolderTree(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

std::vector<std::string> FileNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (it->is_regular_file(error)) names.push_back(it->path().filename().string());
  }
  return names;
}

bool DeleteFileAt(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  std::filesystem::remove(path, error);
  return !std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool RenameFile(const std::string& from, const std::string& to) {
  // A hard link is made only where no file is: nothing is written over.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string bytes(limit, '\0');
  bytes.resize(std::fread(bytes.data(), 1, limit, file));
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

namespace {

// Seconds from 1601 to 1970, and the read-only bit: all of the attributes a native file has.
constexpr std::int64_t kEpochGap = 11644473600;
constexpr std::uint32_t kReadOnly = 0x1, kArchive = 0x20;

}  // namespace

std::optional<FileMetadata> ReadFileMetadata(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  const std::int64_t steps = (status.st_mtim.tv_sec + kEpochGap) * 10000000 + status.st_mtim.tv_nsec / 100;
  return FileMetadata{(status.st_mode & S_IWUSR) ? kArchive : kReadOnly, static_cast<std::uint64_t>(steps)};
}

bool ApplyFileMetadata(const std::string& path, const FileMetadata& metadata) {
  const auto steps = static_cast<std::int64_t>(metadata.last_write);
  const timespec times[2] = {{0, UTIME_OMIT}, {steps / 10000000 - kEpochGap, (steps % 10000000) * 100}};
  struct stat status {};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0 || ::stat(path.c_str(), &status) != 0) return false;
  const mode_t mode = (metadata.attributes & kReadOnly) ? status.st_mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}
                                                     : status.st_mode | S_IWUSR;
  return ::chmod(path.c_str(), mode) == 0;
}

}  // namespace orvela
