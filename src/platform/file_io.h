// Whole-file reads and writes by UTF-8 path. A write never truncates the only copy:
// the new bytes go to a file beside the old one, which then replaces it in one step.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when every byte is on disk under `path`. On failure the old file, if any, is
// unchanged and no temporary file is left behind.
bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace orvela
