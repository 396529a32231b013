// The folder to open for an entry's "フォルダを開く": the folder of the program its command
// starts (for an uninstall command, of the quoted piece that names the uninstaller).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "system/program_lookup.h"

namespace orvela {

// The texts between successive pairs of double quotes, left to right.
std::vector<std::string> QuotedPieces(std::string_view command);

// The folder part of the program path: everything before the last "\" or ":", keeping the
// backslash of a drive root ("C:\"). Not checked for existence.
std::string EntryFolderOf(std::string_view command, const ProgramLookup& system);

}  // namespace orvela
